#include "FrmMensaje.h"

#include "externo/state/AppState.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace zd {

FrmMensaje::FrmMensaje(AppState &state, QWidget *parent)
    // Stays on top: with the main window disabled, a message sunk behind it
    // could not be reached any more.
    : DialogBase(QStringLiteral(":/assets/dlg_mensaje.jpg"), QSize(7200, 3645),
                 Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint, parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("FrmMensaje"));
    setWindowTitle(QStringLiteral("Aviso"));

    LblMsg1 = new QLabel(this);
    LblMsg1->setObjectName(QStringLiteral("LblMsg1"));
    LblMsg1->setGeometry(px(240), px(360), px(6735), px(2295));
    LblMsg1->setFont(dialogFont(LblMsg1->font(), 13.5, true));
    LblMsg1->setWordWrap(true);
    LblMsg1->setAlignment(Qt::AlignCenter);

    const QString captions[3] = {QStringLiteral("Accepter"), QStringLiteral("Accepter"),
                                 QStringLiteral("Annuler")};
    const int lefts[3] = {2640, 240, 5040};
    for (int i = 0; i < 3; ++i) {
        QPushButton *b = makeButton(captions[i], this);
        b->setObjectName(QStringLiteral("ChameleonBtn1_%1").arg(i));
        b->setProperty("index", i);
        b->setGeometry(px(lefts[i]), px(2640), px(1935), px(855));
        connect(b, &QPushButton::clicked, this, [this, i] { ChameleonBtn1_Click(i); });
        m_buttons[i] = b;
    }
    // The label ends below the buttons' top: keep the buttons clickable.
    LblMsg1->lower();
}

void FrmMensaje::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    m_answered = false;
    if (m_state.MainWindow)
        m_state.MainWindow->setEnabled(false);
    if (m_state.MessageKind == 1) {
        m_buttons[0]->setVisible(true);
        m_buttons[1]->setVisible(false);
        m_buttons[2]->setVisible(false);
    } else if (m_state.MessageKind == 2) {
        m_buttons[0]->setVisible(false);
        m_buttons[1]->setVisible(true);
        m_buttons[2]->setVisible(true);
    }
    applyRoundedFrame();
}

void FrmMensaje::ChameleonBtn1_Click(int index)
{
    m_answered = true;
    m_state.MessageCancelled = (index == 2);
    if (m_state.MainWindow)
        m_state.MainWindow->setEnabled(true);
    hide();
    emit unloaded();
}

void FrmMensaje::closeEvent(QCloseEvent *event)
{
    if (!m_answered && isVisible()) {
        event->ignore();
        ChameleonBtn1_Click(m_state.MessageKind == 2 ? 2 : 0);
        return;
    }
    DialogBase::closeEvent(event);
}

} // namespace zd
