#pragma once
#include <QString>

namespace zd {
struct AppState;
}

// Finding a customer of the catalogue (state.Customers, entry k for node k
// of the customer tree) by its code.
namespace zd::posdata {

// The first customer whose code, read as a number the way the ticket lists
// read it ("00012" is 12), is `number`: its node index, 0 when none.
int CustomerNodeByNumber(const AppState &state, qint32 number);

// The first customer whose code equals `text` once trimmed, without regard
// to case, or as numbers when both are whole numbers ("12" finds "00012"):
// its node index, 0 when none or when the text is blank.
int CustomerNodeByCode(const AppState &state, const QString &text);

} // namespace zd::posdata
