#include "KeyButton.h"

#include <QPainter>

namespace zd::teclado {

KeyButton::KeyButton(QWidget *parent) : QAbstractButton(parent)
{
    // The keyboard never takes the keyboard focus from the target window.
    setFocusPolicy(Qt::NoFocus);
}

void KeyButton::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void KeyButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    if (!m_picture.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawPixmap(r, m_picture);
    } else {
        p.fillRect(r, QColor(236, 236, 236));
        p.setPen(QColor(255, 255, 255));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(QColor(128, 128, 128));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    if (isDown())
        p.fillRect(r, QColor(0, 0, 0, 70));
    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(QColor(20, 20, 20));
        p.drawText(r, Qt::AlignCenter, text());
    }
}

} // namespace zd::teclado
