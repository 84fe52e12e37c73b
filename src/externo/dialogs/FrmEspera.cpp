#include "FrmEspera.h"

#include "Var.h"
#include "externo/state/AppState.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

namespace zd {

FrmEspera::FrmEspera(AppState &state, int intervalMs, QWidget *parent)
    : DialogBase(QStringLiteral(":/assets/dlg_espera.jpg"), QSize(4290, 2265),
                 Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint, parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("FrmEspera"));
    setWindowTitle(QStringLiteral("FrmEspera"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    Label1 = new QLabel(QStringLiteral("CHARGEMENT DES DONNEES..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(dialogFont(Label1->font(), 13.5, true));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setGeometry(20, 20, width() - 44, height() - 40);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(intervalMs);
    connect(Timer1, &QTimer::timeout, this, &FrmEspera::Timer1_Timer);
}

FrmEspera::~FrmEspera()
{
    // Destroyed while still open: the main window must not stay disabled.
    if (!m_unloaded && isVisible())
        Unload();
}

void FrmEspera::Activate()
{
    m_unloaded = false;
    makeTopMost();
    if (m_state.MainWindow)
        m_state.MainWindow->setEnabled(false);
    applyRoundedFrame();
    Timer1->start();
    Yield();
}

void FrmEspera::Timer1_Timer()
{
    Timer1->stop();
    Unload();
}

void FrmEspera::Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    if (m_state.MainWindow)
        m_state.MainWindow->setEnabled(true);
    hide();
    emit unloaded();
}

void FrmEspera::closeEvent(QCloseEvent *event)
{
    Unload();
    event->accept();
}

} // namespace zd
