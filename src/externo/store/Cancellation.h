#pragma once
#include "externo/state/Records.h"

#include <QString>

namespace zd {

struct AppState;

// Cancels a stored delivery note: deletes it and releases its tickets (the
// point-of-sale ids of field 8 of its stored lines), with the releases
// journalled in the deletion's transaction like an issue's marks (see
// PendingMarks.h). What earlier runs still owe is settled first; when it
// cannot be, nothing is cancelled.
enum class CancelOutcome {
    Cancelled,     // the note is gone and its tickets are open again
    Kept,          // nothing changed: the note and its marks stay
    ReleaseOwed,   // the note is gone; its releases wait in the journal for the next replay
    Unknown,       // the store's commit failed in a way that may have committed: not known
};
CancelOutcome CancelDeliveryNote(AppState &state, const QString &id, const LineRecordSet &lines);

} // namespace zd
