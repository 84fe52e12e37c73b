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
    // Between the frame's sides; at 18 pt the text takes three lines, so it
    // may reach into the top and bottom bevels' empty margin.
    Label1->setGeometry(12, 9, width() - 24, height() - 16);
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
