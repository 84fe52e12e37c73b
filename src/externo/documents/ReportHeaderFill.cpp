#include "ReportHeaderFill.h"

#include "externo/store/CreditNotes.h"

#include "DataReport1.h"
#include "common/Pictures.h"
#include "externo/state/AppState.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(zdReportFill, "zedorev.print")

namespace zd::documents {

void FillReportHeader(DataReport1 &report, const AppState &state, const ReportTotalsTexts &totals)
{
    const CompanyRecord &company = state.Company;
    const QString phone = QStringLiteral(" Télép.:");
    report.setCaption(QStringLiteral("lblempresa0"), company.nombre.trimmed());
    report.setCaption(QStringLiteral("lblempresa1"), QStringLiteral("Id.Fiscal:") + company.idfiscal.trimmed());
    report.setCaption(QStringLiteral("lblempresa2"), company.direccion.trimmed() + phone + company.telefono.trimmed());
    report.setCaption(QStringLiteral("lblempresa3"), company.poblacion.trimmed() + QStringLiteral(" (")
                                                         + company.codigopostal.trimmed() + QStringLiteral(") ")
                                                         + company.provincia);

    // A logo that cannot be read only hides the picture; the rest prints.
    bool logoShown = false;
    if (state.LogoAvailable) {
        try {
            int width = -1;
            int height = -1;
            report.setLogo(common::LoadGdiPicture(state.programFile(QStringLiteral("/logo")), width, height,
                                                  QColor(255, 255, 255)));
            logoShown = true;
        } catch (const std::exception &e) {
            qCWarning(zdReportFill) << "logo not shown:" << e.what();
        }
    }
    report.setLogoVisible(logoShown);

    // The customer the document is issued to (or whose document is copied).
    CustomerRecord customer;
    if (state.SelectedCustomerIndex >= 0 && state.SelectedCustomerIndex < state.Customers.size())
        customer = state.Customers.at(state.SelectedCustomerIndex);
    report.setCaption(QStringLiteral("lblcliente0"), customer.nombre.trimmed());
    report.setCaption(QStringLiteral("lblcliente1"), QStringLiteral("Id.Fiscal:") + customer.nif.trimmed());
    report.setCaption(QStringLiteral("lblcliente2"), customer.direccion.trimmed() + phone + customer.telefono.trimmed());
    report.setCaption(QStringLiteral("lblcliente3"), customer.poblacion.trimmed() + QStringLiteral(" (")
                                                         + customer.codigopostal.trimmed() + QStringLiteral(") ")
                                                         + customer.provincia);
    report.setCaption(QStringLiteral("lblidcliente"), customer.nif.trimmed());
    // The day of printing, also for a copy of an old document.
    report.setCaption(QStringLiteral("lblfecha"), state.Now().date().toString(QStringLiteral("dd/MM/yyyy")));

    report.setCaption(QStringLiteral("lbltotbruto"), totals.bruto);
    report.setCaption(QStringLiteral("lblimpuestos"), totals.impuestos);
    report.setCaption(QStringLiteral("lbltotal"), totals.total);
    report.setCaption(QStringLiteral("etqlote"), totals.lot);
    report.setTaxLabels(state.ReportTaxes);
}

void FillCreditNoteTitles(DataReport1 &report, AppState &state, const QString &creditNoteId)
{
    const CorrectedInvoice invoice = InvoiceCorrectedBy(state, creditNoteId);
    report.setCaption(QStringLiteral("LblFacturaLiteral"), QStringLiteral("   AVOIR"));
    report.setCaption(QStringLiteral("Etiqueta13"), QStringLiteral("Nº Avoir"));
    report.setCaption(QStringLiteral("LblAvoirSur"),
                      QStringLiteral("Avoir sur facture %1 du %2")
                          .arg(invoice.id, invoice.date.toString(QStringLiteral("dd/MM/yyyy"))));
}

} // namespace zd::documents
