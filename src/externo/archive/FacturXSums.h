#pragma once
#include <QByteArray>
#include <QMap>
#include <QStringList>

namespace zd::archive {

// The amounts an embedded invoice states, in cents, as read back.
struct FacturXTotals {
    QString number;
    int lineCount = 0;
    qint64 linesSum = 0;           // sum of the line net amounts
    qint64 lineTotal = 0;          // LineTotalAmount
    qint64 taxBasisTotal = 0;
    qint64 taxTotal = 0;
    qint64 grandTotal = 0;
    qint64 prepaid = 0;            // TotalPrepaidAmount (paid at the till)
    qint64 duePayable = 0;
    QMap<QString, qint64> basisByRate;  // "S 20.00" -> BasisAmount
    QMap<QString, qint64> taxByRate;    // "S 20.00" -> CalculatedAmount
    QString despatchAdvice;
};

// Reads the amounts of a Cross Industry Invoice and adds them up again:
// lines to the lines total, each rate's lines to its base, the bases to the
// tax basis, the rates' taxes to the tax total, basis plus tax to the grand
// total, the grand total less what was paid to the amount due. Returns what does not add up
// (empty: every sum checks to the cent).
QStringList CheckFacturXSums(const QByteArray &xml, FacturXTotals *totals = nullptr);

} // namespace zd::archive
