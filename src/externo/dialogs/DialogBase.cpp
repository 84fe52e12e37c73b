#include "DialogBase.h"

#include "common/Border.h"

#include <QPainter>
#include <QPushButton>

namespace zd {

DialogBase::DialogBase(const QString &backgroundResource, const QSize &twipsSize,
                       Qt::WindowFlags flags, QWidget *parent)
    : QWidget(parent, flags)
    , m_background(backgroundResource)
{
    setFixedSize(px(twipsSize.width()), px(twipsSize.height()));
    // The artwork is light: keep the text dark whatever the desktop theme.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xf4, 0xf1, 0xea));
    pal.setColor(QPalette::WindowText, QColor(0x1d, 0x2a, 0x3a));
    setPalette(pal);
}

QFont DialogBase::dialogFont(const QFont &base, double points, bool bold)
{
    QFont f = base;
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QPushButton *DialogBase::makeButton(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setFont(dialogFont(b->font(), 12, true));
    b->setCursor(Qt::PointingHandCursor);
    b->setStyleSheet(QStringLiteral(
        "QPushButton { color: #1d2a3a; border: 1px solid #6f8196; border-radius: 8px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #d5dee8); }"
        "QPushButton:hover { border-color: #2f6fa8; }"
        "QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #c3d0de, stop:1 #eef2f6); }"));
    return b;
}

void DialogBase::applyRoundedFrame()
{
    m_rounder.RoundedBorder(this);
    m_framed = true;
    update();
}

void DialogBase::makeTopMost()
{
    // The stays-on-top hint is set at construction (changing window flags of
    // a shown window would hide it); here the window only moves to the top.
    raise();
}

void DialogBase::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_background.isNull())
        p.fillRect(rect(), palette().color(QPalette::Window));
    else
        p.drawPixmap(rect(), m_background);
    if (m_framed)
        common::DrawDialogFrame(p, size(), 12);
}

} // namespace zd
