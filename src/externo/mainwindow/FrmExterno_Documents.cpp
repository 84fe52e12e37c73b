// The document tree's click and the list-to-record-set copy.
#include "FrmExterno.h"
#include "TreeNodes.h"

#include "externo/dialogs/FrmEspera.h"
#include "externo/dialogs/Var.h"
#include "externo/posdata/PosValues.h"
#include "externo/posdata/TaxBreakdown.h"
#include "externo/posdata/TotalsDisplay.h"
#include "externo/store/Facturas.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QTreeWidget>

namespace zd {

namespace {

QList<QTreeWidgetItem *> listItems(const LineRecordSet &lines, int columns)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(lines.size());
    for (const QStringList &fields : lines) {
        auto *item = new QTreeWidgetItem;
        for (int c = 0; c < columns && c < fields.size(); ++c)
            item->setText(c, fields.at(c));
        item->setTextAlignment(7, Qt::AlignRight | Qt::AlignVCenter);   // "Montant"
        items.append(item);
    }
    return items;
}

} // namespace

std::optional<FrmExterno::ListRecordSet> FrmExterno::Create_Recordset(const QTreeWidget *listView)
{
    QString error;
    ListRecordSet recordSet;
    if (!listView) {
        error = QStringLiteral("Aucune liste à copier.");
    } else {
        const int columns = listView->columnCount();
        const QTreeWidgetItem *header = listView->headerItem();
        for (int c = 0; c < columns; ++c)
            recordSet.fieldNames << (header ? header->text(c) : QString());
        recordSet.records.reserve(listView->topLevelItemCount());
        for (int r = 0; r < listView->topLevelItemCount() && error.isEmpty(); ++r) {
            const QTreeWidgetItem *line = listView->topLevelItem(r);
            QStringList record;
            record.reserve(columns);
            for (int c = 0; c < columns; ++c) {
                const QString text = line->text(c);
                // A field holds kFieldSize characters: a longer text is an
                // error, never a silently cut value.
                if (text.size() > ListRecordSet::kFieldSize) {
                    error = QStringLiteral("Le champ « %1 » de la ligne %2 dépasse %3 caractères.")
                                .arg(recordSet.fieldNames.at(c))
                                .arg(r + 1)
                                .arg(ListRecordSet::kFieldSize);
                    break;
                }
                record << text;
            }
            recordSet.records.append(record);
        }
    }
    if (!error.isEmpty()) {
        QMessageBox::critical(this, windowTitle(), error);
        return std::nullopt;
    }
    return recordSet;
}

void FrmExterno::DocumentTree_Click()
{
    QTreeWidget *documents = TreeClient[2];
    // Only a document node acts, and only while a customer is chosen.
    if (nodes::selectedIndex(TreeClient[0]) < 2)
        return;
    const int index = nodes::selectedIndex(documents);
    if (index < 2)
        return;
    QTreeWidgetItem *node = nodes::node(documents, index);
    const QString id = node->text(0).trimmed();

    // 1, 2. The node shown gets the ticked picture; the one shown before loses it.
    ListView1->clear();
    TxtFacAlb->setText(id);
    nodes::setImage(node, 7);
    if (index != m_state.SelectedDocumentIndex) {
        if (m_state.SelectedDocumentIndex != 0) {
            QTreeWidgetItem *previous = nodes::node(documents, m_state.SelectedDocumentIndex);
            nodes::setImage(previous, documentPicture(previous->text(0).trimmed()));
            nodes::setBackground(previous, Qt::white);
        }
        m_state.SelectedDocumentIndex = qint16(index);
    }

    // 3, 4. The stored document, under the wait window.
    FrmEspera wait(m_state);
    wait.show();
    wait.Activate();
    // A document that vanished from the store loads nothing: it must show
    // zeros, not the totals of what was shown before.
    posdata::ClearTaxTotals(m_state);
    m_state.SelectionBase = 0;
    m_state.SelectionTax = 0;
    LineRecordSet lines;
    const bool loaded = LoadDocument(m_state, id, &lines) == QLatin1String(kLoadDone);
    if (!loaded) {
        // Totals of the document shown before must not stand beside this
        // id: the operator sees zeros and is told.
        posdata::ClearTaxTotals(m_state);
        posdata::ClearTotalsDisplay(m_state, *this);
        m_state.SelectionTax = 0;
        wait.Unload();
        ShowMessage(m_state, QStringLiteral("ERREUR DE LECTURE DU DOCUMENT ") + id, 1);
        return;
    }
    ListView1->setUpdatesEnabled(false);
    ListView1->addTopLevelItems(listItems(lines, ListView1->columnCount()));
    ListView1->setUpdatesEnabled(true);

    // 5. Totals rounded to the cent, shown without a fixed pattern.
    const double base = posdata::RoundHalfEven2(m_state.SelectionBase);
    const double tax = posdata::RoundHalfEven2(m_state.SelectionTax);
    const double total = posdata::RoundHalfEven2(m_state.SelectionBase + m_state.SelectionTax);
    setTotalTexts(posdata::GeneralNumberText(base), posdata::GeneralNumberText(tax),
                  posdata::GeneralNumberText(total));

    // 6. Per-rate rows on the window and on the report.
    posdata::ShowTaxRows(m_state, *this);
    wait.Unload();
}

} // namespace zd
