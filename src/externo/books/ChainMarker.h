#pragma once
#include "Chain.h"

#include <QString>
#include <optional>

namespace zd {
struct AppState;
}

namespace zd::books {

// The chain's head kept outside the store, beside the backup
// (TRS_seguridad/TRS_FAC_chain: "SEQ HASH"): a store whose chain was cut
// short, or rewritten with recomputed hashes, no longer matches it.
// It only moves forward; written durably after every commit that added a
// record (a crash in between leaves it behind the chain, which is allowed).
QString MarkerPath(const QString &programFolder);

std::optional<ChainRecord> ReadMarker(const QString &programFolder);

// Writes `head` as the marker unless the marker is already at or past it.
// false (with *error) when the file could not be written.
bool AdvanceMarker(const QString &programFolder, const ChainRecord &head, QString *error = nullptr);

// Reads the store's head and advances the marker to it. Errors are logged:
// the commit it follows stands either way.
void AnchorHead(AppState &state, sql::Connection &store);

// The store's head as an archive carries it ("SEQ:HASH"); empty when the
// store cannot be read or the chain is empty.
QString CurrentAnchor(AppState &state);

// "SEQ:HASH", as an archive carries the head.
QString AnchorText(const ChainRecord &head);
std::optional<ChainRecord> ParseAnchor(const QString &text);

} // namespace zd::books
