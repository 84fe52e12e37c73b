#include "common/SingleInstance.h"
#include "teclado/FrmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The window is hidden and shown by its own timer; hiding it must not end
    // the program.
    app.setQuitOnLastWindowClosed(false);

    zd::common::SingleInstance instance(QStringLiteral("trs_teclado"));
    zd::teclado::FrmMain frm(QCoreApplication::applicationDirPath(), !instance.isFirst());
    QObject::connect(&frm, &zd::teclado::FrmMain::endRequested, &app,
                     [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    frm.FormFirstShow();
    return app.exec();
}
