#include "common/ProgramFolders.h"
#include "common/QtPlatform.h"
#include "common/SingleInstance.h"
#include "teclado/FrmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    zd::common::preferXWayland();
    QApplication app(argc, argv);
    // The window is hidden and shown by its own timer; hiding it must not end
    // the program.
    app.setQuitOnLastWindowClosed(false);

    QString chosen;
    const int usage = zd::common::readCommandLine(
        app.arguments(), QStringLiteral("TRS_Teclado: the on-screen AZERTY keyboard Zedorev starts and ends."),
        &chosen);
    if (usage >= 0)
        return usage;
    // The markers are only read here: a folder that cannot be written is no
    // reason to go without a keyboard.
    const auto folders = zd::common::ProgramFolders::locate(QCoreApplication::applicationDirPath(), chosen);

    zd::common::SingleInstance instance(QStringLiteral("trs_teclado"));
    zd::teclado::FrmMain frm(folders, !instance.isFirst());
    QObject::connect(&frm, &zd::teclado::FrmMain::endRequested, &app,
                     [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    frm.FormFirstShow();
    return app.exec();
}
