#pragma once
#include "externo/posdata/TotalsView.h"
#include "externo/state/AppState.h"

#include <QDate>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

class QThread;

namespace zd {

class FrmEspera;
class HeldKeys;
namespace documents {
class DataReport1;
class FrmReportControl;
class ReportPreview;
}

// The working window: customers, their open tickets or issued documents,
// the lines of what is chosen, totals and the document buttons. Controls
// keep the system's names (also as objectName) and design positions.
class FrmExterno : public QWidget, public posdata::TotalsView {
    Q_OBJECT
public:
    explicit FrmExterno(AppState &state, QWidget *parent = nullptr);
    ~FrmExterno() override;

    // The load handler: connection, catalogues, tax rates, preselection.
    // `loadingWindow` is closed when the load is done (or on the offline path).
    void Load(QWidget *loadingWindow = nullptr);

    AppState &state() { return m_state; }

    // Controls
    std::array<QTreeWidget *, 3> TreeClient{};   // 0 customers, 1 tickets, 2 documents
    QTreeWidget *ListView1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr;
    QLineEdit *TxtCliente = nullptr;
    QLineEdit *TxtTique = nullptr;
    QLabel *LblFacAlb = nullptr;
    QLineEdit *TxtFacAlb = nullptr;
    QPlainTextEdit *TxtInfoTique = nullptr;
    QLineEdit *TxtCodCli = nullptr, *TxtNomCli = nullptr, *TxtNifCli = nullptr, *TxtDirCli = nullptr,
              *TxtPobCli = nullptr, *TxtPosCli = nullptr, *TxtProCli = nullptr, *TxtTelCli = nullptr,
              *TxtEmaCli = nullptr;
    QLineEdit *MaskDesde = nullptr, *MaskHasta = nullptr;
    QPushButton *CmdPeriodo = nullptr, *CmdTiqAsc = nullptr, *CmdTiqDesc = nullptr, *CmdBorraSel = nullptr;
    QPushButton *CmdFacturas = nullptr, *CmdFacturaImprime = nullptr, *CmdAlbaranImprime = nullptr,
                *CmdAnularAlb = nullptr, *CmdFin = nullptr;
    // "Émettre un avoir": shown in the document view only.
    QPushButton *CmdAvoir = nullptr;
    QLabel *LblTotBruto = nullptr, *LblImpuestos = nullptr, *LblTotal = nullptr;
    QLineEdit *TxtTotalBruto = nullptr, *TxtTotalImpuestos = nullptr, *TxtTotal = nullptr;
    QLabel *LblBase = nullptr, *LblPorCiento = nullptr, *LblIva = nullptr;
    std::array<QLineEdit *, 5> TxtBase{}, txtPorcentaje{}, TxtIva{};
    std::array<QLabel *, 5> LblDesIva{};
    QFrame *Line1 = nullptr, *Line2 = nullptr, *Line3 = nullptr;
    QLineEdit *TxtLote = nullptr;

    // The nine columns of ListView1, as at load.
    void AddListColumns();
    // Moves the lower ends of Line2 and Line3 to `bottom` (pixels).
    void setTaxFrameBottom(int bottom);
    int line1Bottom() const;

    // posdata::TotalsView: the routines of the totals show through these.
    void setTotalTexts(const QString &bruto, const QString &impuestos, const QString &total) override;
    void setTaxRow(int k, bool visible, const QString &base, const QString &pct, const QString &iva,
                   const QString &description) override;
    void setTaxFrameBottomToRow(int k) override;
    // While many tickets are chosen at once nothing is painted in between:
    // the totals and tax rows shown meanwhile are held and only the last of
    // each is put on screen when released (the same final widgets).
    void holdTotalsDisplay();
    void releaseTotalsDisplay();

    // ---- Document view: view switch, document click, period, sort, clearing ----
    // (FrmExterno_View.cpp, FrmExterno_Documents.cpp, FrmExterno_Period.cpp)

    // A list view copied into memory: one text field per column, named by
    // its header, and one record per line (field 0 the item text, field k
    // sub-item k). Every field holds at most kFieldSize characters.
    struct ListRecordSet {
        static constexpr int kFieldSize = 250;
        QStringList fieldNames;
        LineRecordSet records;
    };
    // The lines of `listView` as a record set. On an error (no list, a text
    // longer than a field) a critical message box tells the operator and
    // nothing is returned.
    std::optional<ListRecordSet> Create_Recordset(const QTreeWidget *listView);

    // CmdFacturas: switches between the ticket view and the document view,
    // then chooses the customer of TxtCliente (or of the latest open
    // ticket) again and clicks the first node of the new view's tree.
    void CmdFacturas_Click();
    // The click on the document tree's selected node: shows the stored
    // document's lines, totals and tax rows (root or no customer: nothing).
    void DocumentTree_Click();
    // The period of MaskDesde/MaskHasta when both hold valid dates,
    // From not later than To (swapped when typed the other way round).
    std::optional<std::pair<QDate, QDate>> ValidPeriod() const;
    void CmdPeriodo_Click();
    void CmdTiqAsc_Click();
    void CmdTiqDesc_Click();
    void CmdBorraSel_Click();

private:
    void connectDocumentSide();
    // The view's settings: captions, trees, buttons, labels, picture.
    void applyViewSettings(bool documentView);
    void setSortButtonFonts(QPushButton *pressed, QPushButton *other);
    void clearSelectionTotals();
    // ---- end of the document view block ----

public:

    // ---- Choosing customers and tickets: trees, search boxes, info panel ----
    // (FrmExterno_Trees.cpp, FrmExterno_Search.cpp, FrmExterno_Info.cpp)
    // Tree events, by index in TreeClient (0 customers, 1 tickets, 2
    // documents). A click acts on the tree's selected node.
    void TreeClient_Click(int index);
    void TreeClient_NodeClick(int index);
    void TreeClient_KeyPress(int index, int &keyAscii);
    void TreeClient_KeyUp(int index, int keyCode);
    void TreeClient_GotFocus(int index);
    void TreeClient_LostFocus(int index);
    // The click on a document node (tree 2), installed by the document side
    // and run by TreeClient_Click(2).
    void setDocumentClickHandler(std::function<void()> handler) { m_documentClick = std::move(handler); }
    // Key handlers of the search boxes, run before the key reaches the box;
    // a handler may set keyAscii to 0 to discard the key.
    // TxtCliente: Enter chooses the customer whose code is in the box, else
    // the one the typed text finds; every edit of the box (typed character,
    // Backspace, ...) searches with the whole text left in it.
    void TxtCliente_KeyPress(int &keyAscii);
    void TxtCliente_Edited(const QString &text);
    void TxtCliente_LostFocus();
    void TxtTique_KeyPress(int &keyAscii);
    // Selects node `index` of the current view's tree and paints it yellow.
    void HighlightListNode(int index);
    void ShowCustomerDetails();
    void ShowTicketInfo();
    // Refills the current view's tree for the chosen customer (the period
    // when both date fields hold valid dates, else unfiltered); empties
    // ListView1. Takes the offline path when the invoice store is unreachable.
    void FillCurrentList();
    // ---- end of choosing block ----

    // ---- Leaving the program ----
    // "QUITTER": the keyboard marker is removed, then the window unloads.
    void CmdFin_Click();
    // The unload handling: point-of-sale connection closed, invoice store
    // backed up (copy in backupCopyPath()), the operator told, keyboard ended.
    // Runs once; closing the window runs it too.
    void Unload();
    // Where the copy of the backup goes: the user's home folder.
    static QString backupCopyPath();
    // ---- end of leaving block ----

    // ---- Printing and cancelling ----
    // (FrmExterno_Print.cpp, FrmExterno_PrintCommands.cpp, FrmExterno_Cancel.cpp)
    // Issues a new document of `kind` (1 invoice, 0 delivery note) from the
    // lines of ListView1, or takes the stored document of the document tree
    // as a copy; fills the report, shows it full screen with its control
    // panel and returns once the preview is closed, with the lists refilled
    // and the totals cleared.
    void PrintDocument(qint16 kind);
    // The two print buttons and the cancellation of a delivery note.
    void CmdFacturaImprime_Click();
    void CmdAlbaranImprime_Click();
    void CmdAnularAlb_Click();
    // Corrects the invoice picked in the document tree by a credit note,
    // after the operator's confirmation, and prints it (FrmExterno_Credit.cpp).
    void CmdAvoir_Click();
    // True only while the cancellation prints its delivery note.
    bool CancellationPrint = false;

    // The report of the print under way: made on first use, released when
    // the print command ends.
    documents::DataReport1 &Report();
    documents::DataReport1 *currentReport() const { return m_report.get(); }
    // The preview and its panel while a document is shown, else null.
    documents::ReportPreview *currentPreview() const;
    documents::FrmReportControl *currentReportControl() const;
    // The spooler queue documents are printed to; empty: the default printer.
    void setPrinterQueue(const QString &queue) { m_printerQueue = queue; }

private:
    void installPrintHandlers();
    void setPrintButtonsEnabled(bool enabled);
    // Deletes every "*.tmp" of the program folder; failures are ignored.
    void removeTemporaryFiles();
    // Tells the operator why a print command stops; the command then ends.
    void tellPrintFailure(const QString &text);
    void fillReportHeader(documents::DataReport1 &report);
    // Writes the archived PDF/A of a document just issued, from the filled
    // report; a failure only tells the operator (the document stays issued).
    void archiveIssuedDocument(const documents::DataReport1 &report, const QString &documentId);
    // Shows the report and its panel and waits until the preview is closed.
    void showPreview(const QString &documentId);
    // Lists and totals after a print, issued or not.
    void refreshAfterPrint();
    void writeKeyboardMarker();
    void removeKeyboardMarker();
    QVector<qint32> chosenTicketIds() const;

    // Shared only for its deleter, bound where the report is made, so that
    // the window's destructor needs no report header.
    std::shared_ptr<documents::DataReport1> m_report;
    QPointer<documents::ReportPreview> m_preview;
    QPointer<documents::FrmReportControl> m_reportControl;
    QString m_printerQueue;
public:
    // ---- end of printing block ----

signals:
    // Emitted once the load handler has finished successfully.
    void loaded();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct HeldTaxRow {
        bool touched = false;
        bool visible = false;
        bool hasTexts = false;  // a shown row sets the texts; a hidden one keeps them
        QString base, pct, iva, description;
    };
    struct HeldTotals {
        std::optional<std::array<QString, 3>> totals;
        std::array<HeldTaxRow, kTaxRows> rows;
        std::optional<int> frameRow;
    };
    std::optional<HeldTotals> m_heldTotals;
    void showTotalTexts(const QString &bruto, const QString &impuestos, const QString &total);
    void showTaxRow(int k, bool visible, const QString &base, const QString &pct, const QString &iva,
                    const QString &description);
    void showTaxFrameBottomToRow(int k);

    void buildControls();
    void buildLeftColumn();
    void buildMiddleColumn();
    void buildRightColumn();
    void buildTaxRows();
    void fillCustomerTree(const QStringList &nodeTexts);
    // Tax rates read, per-rate totals and the display cleared.
    void clearTotalsOnLoad();
    // Ends the program after a fatal condition of the load: message, keyboard, exit.
    void stopProgram(const QString &message, QWidget *loadingWindow);

    // ---- choosing block (private) ----
    bool eventFilter(QObject *watched, QEvent *event) override;
    void installChoosingHandlers();
    void customerClick();
    void ticketRootClick();
    void ticketClick();
    // Reads the lines and taxes of the ticket in CurrentTicketId and adds
    // both, or neither: false (nothing changed) on a read error.
    bool addTicketLines(int numberingStart, QString *error);
    void showWait();
    void unloadWait();
    void tellTicketReadError(const QString &ticketNumbers);
    // The customer whose code is the number of the latest open ticket's
    // customer is chosen; false when no ticket is open.
    bool chooseLatestTicketCustomer();
    void preselectLatestCustomer();
    // The customer search: first a name starting with the text (after a
    // "-"), then the text anywhere. The node index found, 0 for none.
    int searchCustomers(const QString &namePrefix, const QString &anywhere);
    int customerForEnter();
    // Selects and paints the customer node and runs the customer tree's
    // node-click and click handlers for it. `typed`: found by typing, so the
    // box keeps what the operator typed.
    void chooseCustomer(int index, bool typed);
    // TxtCliente shows the chosen customer's code, selected: the first
    // character typed replaces it.
    void showChosenCode();
    bool m_choosingByTyping = false;
    bool m_replaceCode = false;
    // The text typed last and the customer node it found (0 none).
    struct TypedSearch {
        QString text;
        int index = 0;
    } m_typed;
    std::function<void()> m_documentClick;
    std::unique_ptr<FrmEspera> m_wait;
    // Keys typed while the wait window has the window disabled.
    std::unique_ptr<HeldKeys> m_heldKeys;
    // A double click is one click: the release that ends it is skipped.
    bool m_releaseEndsDoubleClick = false;
    // ---- end of choosing block ----

    bool m_unloaded = false;

public:
    // ---- books block ----
    // What the check after the start found, for the operator.
    struct BooksFindings {
        QString foreignTickets;       // tickets marked outside this store's documents, or empty
        QStringList withoutArchive;   // stored documents without an archive file
        QString booksBroken;          // the books do not verify: what to tell, or empty
    };
    // Compares the store with the point-of-sale marks and lists the missing
    // archives in a thread of its own; the findings are told (and the
    // archives written) on this thread once it ends.
    void startBooksCheck();
    // Waits for that check (unload; tests).
    void waitForBooksCheck();
    // What the last replay of the journal completed or found: archived and
    // told to the operator.
    void takeReplayOutcome();

private:
    void archiveMissing(const QStringList &ids);
    // Writes the next archive found missing after the start.
    void archiveNextMissing();
    QStringList m_toArchive;
    // ---- credit notes ----
    // The document tree's picture of a document: its own for a credit note
    // and for an invoice a credit note corrects.
    int documentPicture(const QString &id) const;
    QStringList m_corrected;   // invoices corrected by a credit note of the listed customer
    // Shows what is waiting to be told once no dialog, preview or command is in the way.
    void tellWhenFree();
    QThread *m_booksThread = nullptr;
    QStringList m_toTell;
    bool m_telling = false;
    // ---- end of books block ----

    AppState &m_state;
    QPixmap m_background;
};

} // namespace zd
