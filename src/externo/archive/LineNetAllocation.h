#pragma once
#include <QVector>
#include <QtGlobal>

namespace zd::archive {

// The net amounts (without VAT) of the lines of one VAT rate, from the rate's
// base as the document states it. A scale's line amount may include VAT or
// not, so the line amounts are only weights: the base is shared across the
// lines in proportion to their amounts, each share rounded down to the cent,
// and the cents left over go one each to the lines with the largest
// remainders (ties: the earlier line). The shares then add up to the base
// exactly, and lines whose amounts already add up to the base keep them.
//
// Each share is base x amount / (sum of the amounts), so a returned article
// (a negative amount among positive ones) gets a negative share and lines of
// amount 0 get 0. When the amounts add up to 0 there is no proportion: the
// whole base goes to the first line. Empty input gives an empty result.
QVector<qint64> AllocateLineNets(qint64 baseCents, const QVector<qint64> &lineAmountCents);

} // namespace zd::archive
