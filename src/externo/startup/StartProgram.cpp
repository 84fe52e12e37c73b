#include "StartProgram.h"
#include "ConfigFiles.h"
#include "ShopSettingsFile.h"

#include "common/Processes.h"
#include "common/ProgramFolders.h"
#include "common/QtPlatform.h"
#include "common/SingleInstance.h"
#include "externo/archive/FrenchIds.h"
#include "externo/books/PeriodTotals.h"
#include "externo/dialogs/FrmCarga.h"
#include "externo/dialogs/FrmTienda.h"
#include "externo/dialogs/Var.h"
#include "externo/mainwindow/FrmExterno.h"
#include "externo/store/StoreSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <unistd.h>

Q_LOGGING_CATEGORY(zdStartup, "zedorev.startup")

namespace zd {
namespace {

void startKeyboard(const AppState &state)
{
    // The keyboard decides its own visibility; its process id is not kept:
    // it is always ended by name.
    const QString program = state.keyboardProgram();
    if (!QFile::exists(program)) {
        qCInfo(zdStartup) << "no on-screen keyboard at" << program << "- going on without it";
        return;
    }
    // The keyboard shares the program folder's markers: it is told which one.
    // It inherits this program's environment, the Qt platform chosen at the
    // start included, so both windows live on the same X display.
    if (!QProcess::startDetached(program, {QStringLiteral("--folder"), state.programFolder()},
                                 state.programFolder()))
        qCWarning(zdStartup) << "the on-screen keyboard did not start:" << program;
}

void endKeyboard()
{
    common::KillProcessByName(QString::fromLatin1(kKeyboardProcess));
}

void cannotCreateStore(AppState &state, QWidget *loadingWindow)
{
    loadingWindow->close();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zedorev"),
                    QStringLiteral("NO ES POSIBLE CREAR LA BASE DE DATOS Y TABLAS NECESARIAS PARA EL TRABAJO..."),
                    QMessageBox::Ok);
    box.setObjectName(QStringLiteral("StoreErrorBox"));
    box.exec();
    endKeyboard();
    state.EndProgram(0);
}

// Said on the terminal and on the screen: started from the menu, the
// operator sees only the window.
void cannotUseFolder(const QString &folder, const QString &error)
{
    std::fprintf(stderr, "zedorev: %s\n", qPrintable(error));
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zedorev"),
                    QStringLiteral("Le dossier du programme %1 n'est pas accessible en écriture.\n\n"
                                   "Le compte de l'opérateur doit faire partie du groupe propriétaire "
                                   "de ce dossier (fermer puis rouvrir la session après l'y avoir ajouté).")
                        .arg(folder),
                    QMessageBox::Ok);
    box.setObjectName(QStringLiteral("FolderErrorBox"));
    box.setDetailedText(error);
    box.exec();
}

qint16 askShopNumber(AppState &state)
{
    FrmTienda dialog(state);
    dialog.show();   // its activation makes it top-most
    while (dialog.isVisible())
        Yield();
    return state.ShopNumber;
}

} // namespace

std::unique_ptr<FrmExterno> StartProgram(AppState &state)
{
    // 2. A marker left over from a previous run would keep the keyboard hidden.
    const QString marker = state.programFile(QStringLiteral("/notrs_teclado"));
    if (QFile::exists(marker)) {
        QFile::remove(marker);
        QThread::msleep(10);
    }

    // 3, 4. Keyboard and loading window.
    startKeyboard(state);
    auto loading = std::make_unique<FrmCarga>();
    loading->show();
    loading->Activate();

    // 5. Backup folder.
    QDir().mkpath(state.programFile(QStringLiteral("/TRS_seguridad")));

    // 6, 7. The invoice store exists, or is created now.
    if (EnsureInvoiceStore(state) == StoreCheck::CannotCreate) {
        cannotCreateStore(state, loading.get());
        return nullptr;
    }
    books::RecordStart(state);

    // 8 to 10. Where the point-of-sale database lives.
    state.PosCatalog = QStringLiteral("Tillvane");
    state.PosServer = readPosServer(state.programFolder(), QStringLiteral("127.0.0.1"));
    if (hasShopMarker(state.programFolder()))
        state.PosCatalog = shopCatalog(state.PosCatalog, askShopNumber(state));
    QStringList settingsProblems;
    state.Settings = ReadShopSettings(state.programFolder(), &settingsProblems);

    // 11, 12. The main window; its load closes the loading window.
    QThread::msleep(100);
    auto window = std::make_unique<FrmExterno>(state);
    bool loaded = false;
    QObject::connect(window.get(), &FrmExterno::loaded, [&loaded] { loaded = true; });
    window->Load(loading.get());
    if (!loaded)
        return nullptr;
    window->show();
    // Told once, over the main window: bad lines of the settings file, and a
    // shop whose invoices cannot go through a platform.
    for (const QString &problem : settingsProblems)
        ShowMessage(state, problem, 1);
    const archive::FrenchRegistration shop = archive::ReadFrenchRegistration(state.Company.idfiscal);
    if (!shop.hasSiren())
        ShowMessage(state,
                    QStringLiteral("Identifiant fiscal de la boutique sans SIREN valide : %1. Les factures "
                                   "électroniques seront refusées par les plateformes.")
                        .arg(shop.foreign ? QStringLiteral("numéro de TVA étranger") : shop.problem),
                    1);
    return window;
}

int StartProgramMain(int argc, char **argv)
{
    // Set in the environment: the keyboard started below inherits it.
    common::preferXWayland();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zedorev"));

    // 1. A second instance ends at once, without a message.
    QString chosen;
    const int usage = common::readCommandLine(
        app.arguments(), QStringLiteral("Zedorev: invoices and delivery notes from the point-of-sale tickets."),
        &chosen);
    if (usage >= 0)
        return usage;

    common::SingleInstance instance(QStringLiteral("zedorev"));
    if (!instance.isFirst())
        return 0;

    const auto folders = common::ProgramFolders::locate(QCoreApplication::applicationDirPath(), chosen);
    QString error;
    if (!common::prepareFolder(folders.folder, &error)) {
        cannotUseFolder(folders.folder, error);
        return 1;
    }
    AppState state(sql::EngineConfig::fromProgramFolder(folders.folder));
    state.sharedFolder = folders.shared;
    state.programsFolder = folders.programs;
    state.EndProgram = [](int code) {
        std::fflush(nullptr);
        ::_exit(code);
    };

    std::unique_ptr<FrmExterno> window = StartProgram(state);
    if (!window)
        return 0;
    QCoreApplication::processEvents();
    qCInfo(zdStartup) << "main window ready";
    const int code = app.exec();
    endKeyboard();
    return code;
}

} // namespace zd
