#pragma once
#include "externo/posdata/TotalsView.h"
#include "externo/state/AppState.h"
#include "posdemo/SqliteDb.h"
#include "support/PosFixture.h"

#include <QStringList>
#include <memory>

namespace posdata_test {

// A program folder holding a point-of-sale file made from the demo schema
// (the shared fixture), with state.PosConnection open on it; rows are
// written straight into the file.
class PosFixture {
public:
    PosFixture();
    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    zd::AppState &state() { return *m_state; }
    // Runs a SQLite statement on the file directly.
    bool exec(const QString &sqlite) { return m_pos.exec(sqlite); }
    // A text value read straight from the file (first column, first row).
    QString scalar(const QString &sqlite) { return m_pos.scalar(sqlite).toString(); }

    // A ticket without lines or tax rows (idusuario 3, terminal 2, 12.5).
    void addTicket(qint64 id, qint64 numero, const QString &fecha, qint64 customer,
                   int tipodocumento = 1, int isfinalizado = 1, qint64 abono = 0);
    void addLine(qint64 ticket, const QString &valuesAfterTicket);
    void addTaxType(qint64 id, double pct, const QString &description);
    void addTax(qint64 ticket, qint64 type, double base, double importe);

    // The invoice store file with a facturas table holding the columns the
    // lists read.
    bool createInvoiceStore();
    void addDocument(const QString &iddocumento, qint32 idcliente, const QString &fechaDocumento);

private:
    zd::test::ProgramFolder m_folder;
    zd::test::PosFixture m_pos;
    std::unique_ptr<zd::AppState> m_state;
    zd::posdemo::SqliteDb m_store;
    QString m_error;
    qint64 m_nextRow = 1;
};

// Records what the totals routines show, as the main window would.
class RecordingTotalsView : public zd::posdata::TotalsView {
public:
    struct Row {
        bool visible = false;
        QString base, pct, iva, description;
    };
    QString bruto, impuestos, total;
    Row rows[kTaxRows];
    int frameBottom = -2;  // -2: never set
    int totalCalls = 0;

    void setTotalTexts(const QString &b, const QString &i, const QString &t) override;
    void setTaxRow(int k, bool visible, const QString &base, const QString &pct, const QString &iva,
                   const QString &description) override;
    void setTaxFrameBottomToRow(int k) override;
    QList<int> visibleRows() const;
};

} // namespace posdata_test
