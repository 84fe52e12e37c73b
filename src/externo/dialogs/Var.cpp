#include "Var.h"

#include "FrmMensaje.h"
#include "common/Processes.h"
#include "externo/state/AppState.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QThread>

#include <cstdlib>

namespace zd {

void Yield()
{
    QThread::msleep(1);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ShowMessage(AppState &state, const QString &text, qint16 kind)
{
    state.MessageCancelled = false;
    state.MessageKind = kind;
    FrmMensaje dialog(state);
    dialog.LblMsg1->setText(text);
    // Waited for in an event loop rather than by polling: timers and input
    // are served the same way, without spinning.
    QEventLoop loop;
    QObject::connect(&dialog, &FrmMensaje::unloaded, &loop, &QEventLoop::quit);
    dialog.show();
    if (dialog.isVisible())
        loop.exec();
}

void TakeOfflinePath(AppState &state, QWidget *loadingWindowToClose)
{
    if (loadingWindowToClose)
        loadingWindowToClose->close();
    ShowMessage(state, QStringLiteral("Hors Ligne avec Tillvane..."), 1);
    common::KillProcessByName(QStringLiteral("trs_teclado.exe"));
    if (state.EndProgram)
        state.EndProgram(0);
    else
        std::exit(0);
}

} // namespace zd
