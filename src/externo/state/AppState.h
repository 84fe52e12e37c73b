#pragma once
#include "Records.h"
#include "ShopSettings.h"
#include "externo/sql/Connection.h"
#include "externo/sql/EngineConfig.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

class QWidget;

namespace zd {

// Everything the program's routines share during a run. The program owns one
// instance and hands it to the windows and routines; each test builds its own.
struct AppState {
    explicit AppState(sql::EngineConfig engine);

    sql::EngineConfig engine;          // where statements go
    QString programFolder() const { return engine.programFolder; }
    // <program folder> + name; name begins with '/' (the system's "\name").
    QString programFile(const QString &name) const;
    // Where the pictures that come with the program (sharedFolder) and the
    // keyboard program (programsFolder) are when they are not in the program
    // folder, as once installed. Empty: the program folder holds them.
    QString sharedFolder;
    QString programsFolder;
    // A picture (name begins with '/'): the program folder's own, else the
    // one that came with the program.
    QString pictureFile(const QString &name) const;
    // The keyboard program trs_teclado.
    QString keyboardProgram() const;

    // Start-up and connections
    QString PosCatalog = QStringLiteral("Tillvane");
    QString PosServer = QStringLiteral("127.0.0.1");
    qint16 ShopNumber = 0;
    // The shared point-of-sale connection: open from the main window's load
    // until its unload. Replaced, not reused, when reopened.
    std::unique_ptr<sql::Connection> PosConnection;
    // A fresh connection on this run's engine (not opened).
    std::unique_ptr<sql::Connection> newConnection() const;

    // Ends the program at once (offline path, fatal start-up conditions).
    // The program sets it to end the process; tests replace it.
    std::function<void(int exitCode)> EndProgram;
    // The main window FrmExterno while it exists (message dialogs disable it).
    QWidget *MainWindow = nullptr;

    // Messages
    qint16 MessageKind = 0;
    bool MessageCancelled = false;

    // Catalogues. Entry k of Customers belongs to node k of the customer
    // tree (entries 0 and 1 stay empty; one spare entry at the end).
    QVector<CustomerRecord> Customers;
    CompanyRecord Company;
    CurrencyRecord CurrencyInfo;
    bool LogoAvailable = false;
    // The shop's invoicing settings, read at start (defaults until then).
    ShopSettings Settings;

    // Tax breakdown of the chosen tickets or of a loaded document
    QVector<TaxRateEntry> TaxRates;
    qint16 TaxRateCount = 0;
    double SelectionBase = 0;
    double SelectionTax = 0;
    // The report's tax table, as ShowTaxRows / ClearTotalsDisplay left it.
    ReportTaxLabels ReportTaxes;

    // Ticket last read from a ticket node
    qint32 CurrentTicketId = 0;
    qint32 CurrentTicketNumber = 0;

    // Main window
    qint16 SelectedCustomerIndex = 0;
    qint16 SelectedDocumentIndex = 0;
    bool DocumentViewActive = false;
    QString SortDirection = QStringLiteral("DESC");
    bool AllTicketsSelected = false;

    // Documents
    // The clock documents are dated and numbered by (tests set a fixed moment).
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
    qint32 CopyNumber = 0;
    QString SourceDeliveryNote;

    // The invoice store's journal (see store/PendingMarks.h)
    // Documents whose point-of-sale side has committed but whose journal
    // rows could not be deleted yet: deleted before anything else is issued.
    QStringList JournalToClear;
    // Documents whose owed marks a replay has just made: stored, never
    // printed; the window names them to the operator and archives them.
    QStringList CompletedByReplay;
    // What a replay found not as it was owed while this store is not known
    // to be the only one on the point-of-sale server (French, for the operator).
    QStringList ReplayWarnings;
    // Customers the operator was told cannot receive invoices through a
    // platform (told once a run).
    QSet<qint32> CustomersToldUnreachable;
};

} // namespace zd
