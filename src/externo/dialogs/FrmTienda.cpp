#include "FrmTienda.h"

#include "Var.h"
#include "externo/state/AppState.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace zd {

FrmTienda::FrmTienda(AppState &state, QWidget *parent)
    : DialogBase(QStringLiteral(":/assets/dlg_tienda.jpg"), QSize(5415, 2385),
                 Qt::Dialog | Qt::WindowStaysOnTopHint, parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("FrmTienda"));
    setWindowTitle(QStringLiteral("Rarode Ruzudo"));

    Label1 = new QLabel(QStringLiteral("Rarode Ruzudo:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(dialogFont(Label1->font(), 13.5, true));
    Label1->setGeometry(px(360), px(480), px(2520), px(495));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(dialogFont(Text1->font(), 13.5, true));
    Text1->setMaxLength(3);
    Text1->setAlignment(Qt::AlignCenter);
    Text1->setGeometry(px(3000), px(420), px(1455), px(615));
    // Keys are filtered below; the validator also keeps pasted text to digits.
    Text1->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), Text1));
    Text1->installEventFilter(this);

    CmdAceptar = makeButton(QStringLiteral("Aceptar"), this);
    CmdAceptar->setObjectName(QStringLiteral("CmdAceptar"));
    CmdAceptar->setGeometry(px(1800), px(1380), px(1815), px(735));
    connect(CmdAceptar, &QPushButton::clicked, this, &FrmTienda::CmdAceptar_Click);
}

void FrmTienda::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    makeTopMost();
    activateWindow();
    Text1->setFocus();
}

bool FrmTienda::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Backspace)
            return false;
        const QString text = key->text();
        if (text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9'))
            return false;
        // Characters, Enter and control shortcuts (paste, cut, undo) are
        // discarded; keys without a character (arrows, Home, Delete) move or
        // delete as usual.
        if (!text.isEmpty() && key->key() != Qt::Key_Delete && key->key() != Qt::Key_Tab
            && key->key() != Qt::Key_Backtab)
            return true;
        if (key->modifiers() & Qt::ControlModifier)
            return true;
    }
    return DialogBase::eventFilter(watched, event);
}

void FrmTienda::CmdAceptar_Click()
{
    // At most three digits: the value always fits and is 0 for an empty box.
    m_state.ShopNumber = static_cast<qint16>(Text1->text().toInt());
    hide();
    emit unloaded();
}

} // namespace zd

namespace zd {

void FrmTienda::closeEvent(QCloseEvent *event)
{
    DialogBase::closeEvent(event);
    if (event->isAccepted())
        emit unloaded();
}

} // namespace zd
