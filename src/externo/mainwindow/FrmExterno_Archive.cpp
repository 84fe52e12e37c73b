// The archive of each document issued: written between the store and the
// preview, never in the way of the issue itself.
#include "FrmExterno.h"

#include "externo/archive/ArchiveDocument.h"
#include "externo/dialogs/Var.h"
#include "externo/documents/DataReport1.h"
#include "IssueMessages.h"

namespace zd {

void FrmExterno::archiveIssuedDocument(const documents::DataReport1 &report, const QString &documentId)
{
    archive::PageSource pages;
    pages.pageCount = report.pageCount();
    pages.paint = [&report](QPainter &painter, int page) { report.paintPage(painter, page); };
    const archive::ArchiveResult result = archive::ArchiveDocument(m_state, documentId, pages);
    if (!result.buyerUnreachable.isEmpty() && !m_state.CustomersToldUnreachable.contains(result.buyerId)) {
        m_state.CustomersToldUnreachable.insert(result.buyerId);
        const int k = m_state.SelectedCustomerIndex;
        const QString name = k >= 0 && k < m_state.Customers.size() ? m_state.Customers.at(k).nombre : QString();
        ShowMessage(m_state, BuyerUnreachableMessage(name, result.buyerUnreachable), 1);
    }
    if (!result.unlistedRates.isEmpty())
        ShowMessage(m_state, UnlistedRatesMessage(documentId, result.unlistedRates), 1);
    if (result.status != archive::ArchiveResult::Status::Failed)
        return;
    ShowMessage(m_state,
                QStringLiteral("Le document %1 est bien enregistré, mais son archive PDF n'a pas pu être écrite "
                               "(%2). Elle pourra être écrite plus tard.")
                    .arg(documentId, result.error),
                1);
}

} // namespace zd
