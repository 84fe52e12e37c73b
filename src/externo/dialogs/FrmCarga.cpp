#include "FrmCarga.h"

#include "Var.h"

#include <QLabel>

namespace zd {

FrmCarga::FrmCarga(QWidget *parent)
    : DialogBase(QStringLiteral(":/assets/dlg_carga.jpg"), QSize(6270, 1590),
                 Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint, parent)
{
    setObjectName(QStringLiteral("FrmCarga"));
    setWindowTitle(QStringLiteral("FrmCarga"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    Label1 = new QLabel(
        QStringLiteral("DEMARRAGE DU PROGRAMME... Veuillez patienter quelques instants."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(dialogFont(Label1->font(), 18, false));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setGeometry(18, 14, width() - 40, height() - 26);
}

void FrmCarga::Activate()
{
    makeTopMost();
    applyRoundedFrame();
    repaint();
    Yield();
}

void FrmCarga::Unload()
{
    if (!isVisible())
        return;
    hide();
    emit unloaded();
}

} // namespace zd
