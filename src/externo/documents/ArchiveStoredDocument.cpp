#include "ArchiveStoredDocument.h"

#include "DataReport1.h"
#include "ReportHeaderFill.h"
#include "ReportMentions.h"
#include "externo/posdata/Catalogues.h"
#include "externo/posdata/PosValues.h"
#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TotalsDisplay.h"
#include "externo/posdata/TotalsView.h"
#include "externo/sql/Connection.h"
#include "externo/state/AppState.h"
#include "externo/store/Facturas.h"
#include "externo/store/StoredDocument.h"

namespace zd::documents {

namespace {

// The totals as the main window would show them, without a window.
class TotalsTexts : public posdata::TotalsView {
public:
    void setTotalTexts(const QString &bruto, const QString &impuestos, const QString &total) override
    {
        texts.bruto = bruto;
        texts.impuestos = impuestos;
        texts.total = total;
    }
    void setTaxRow(int, bool, const QString &, const QString &, const QString &, const QString &) override {}
    void setTaxFrameBottomToRow(int) override {}
    ReportTotalsTexts texts;
};

archive::ArchiveResult failed(const QString &why)
{
    archive::ArchiveResult result;
    result.error = why;
    return result;
}

} // namespace

archive::ArchiveResult ArchiveStoredDocument(const AppState &like, const QString &id)
{
    AppState state(like.engine);
    state.PosServer = like.PosServer;
    state.PosCatalog = like.PosCatalog;
    state.Now = like.Now;
    state.Settings = like.Settings;
    QString error;
    const auto stored = ReadStoredDocument(state, id, &error);
    if (!stored)
        return failed(error);
    const auto issued = posdata::DateOf(stored->header.value(0, QStringLiteral("FechaDocumento")));
    const qint64 customerId = posdata::WholeNumberOf(stored->header.value(0, QStringLiteral("IdCliente"))).value_or(-1);
    const qint64 type = posdata::WholeNumberOf(stored->header.value(0, QStringLiteral("TipoDocumento"))).value_or(0);
    const bool invoice = type == 1 || type == 2;   // a credit note prints as an invoice does

    state.PosConnection = state.newConnection();
    if (!state.PosConnection->open(sql::posConnectionString(state.PosCatalog, state.PosServer)))
        return failed(QStringLiteral("point-of-sale database %1 on %2 unreachable").arg(state.PosCatalog, state.PosServer));
    LoadCatalogues(state);
    if (!posdata::LoadTaxRates(state))
        return failed(QStringLiteral("tax types not readable"));
    state.SelectedCustomerIndex = -1;
    for (int k = 0; k < state.Customers.size(); ++k) {
        if (k >= 2 && state.Customers.at(k).idcliente == customerId) {
            state.SelectedCustomerIndex = qint16(k);
            break;
        }
    }
    if (state.SelectedCustomerIndex < 0)
        return failed(QStringLiteral("customer %1 not found").arg(customerId));

    LineRecordSet lines;
    if (LoadDocument(state, id, &lines) != QLatin1String(kLoadDone))
        return failed(QStringLiteral("%1 could not be loaded").arg(id));
    TotalsTexts totals;
    posdata::ShowSelectionTotals(state, totals);
    posdata::ShowTaxRows(state, totals);

    DataReport1 report;
    FillReportHeader(report, state, totals.texts);
    FillReportMentions(report, state, invoice);
    report.setCaption(QStringLiteral("lblfecha"), issued ? issued->toString(QStringLiteral("dd/MM/yyyy")) : QString());
    report.setCaption(QStringLiteral("lblfacturaliteral"), invoice ? QStringLiteral("   FACTURE") : QStringLiteral("BON LIVRAISON"));
    report.setCaption(QStringLiteral("etiqueta13"), invoice ? QStringLiteral("Nº Facture") : QStringLiteral("NºBon Liv."));
    if (type == 2)
        FillCreditNoteTitles(report, state, id);
    report.setCaption(QStringLiteral("etiqueta11"), QStringLiteral("  Original"));
    report.setCaption(QStringLiteral("lblnfactura"), id);
    report.setDetailRows(lines);

    archive::PageSource pages;
    pages.pageCount = report.pageCount();
    pages.paint = [&report](QPainter &painter, int page) { report.paintPage(painter, page); };
    return archive::ArchiveDocument(state, id, pages);
}

} // namespace zd::documents
