#pragma once
#include "common/Rounder.h"

#include <QPixmap>
#include <QWidget>

class QFont;
class QPushButton;

namespace zd {

// The look the small windows share: a fixed inner size, a background picture
// from the compiled-in artwork and, once rounded, a clipped outline with a
// bevelled frame 12 pixels wide.
class DialogBase : public QWidget {
    Q_OBJECT
public:
    // `twipsSize` is the window's inner size in twips (15 twips = 1 pixel).
    DialogBase(const QString &backgroundResource, const QSize &twipsSize,
               Qt::WindowFlags flags, QWidget *parent = nullptr);

    static int px(int twips) { return twips / 15; }
    static QFont dialogFont(const QFont &base, double points, bool bold);
    // A push button of the dialogs' style (caption, bold font).
    static QPushButton *makeButton(const QString &caption, QWidget *parent);

    bool isFramed() const { return m_framed; }
    const common::clsRounder &rounder() const { return m_rounder; }

signals:
    // The window was closed ("unloaded"): its caller's wait may end.
    void unloaded();

protected:
    // Rounded corners (clsRounder) and the 12-pixel bevelled frame.
    void applyRoundedFrame();
    // Raises the window above the others without taking the focus from them.
    void makeTopMost();
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_background;
    common::clsRounder m_rounder;
    bool m_framed = false;
};

} // namespace zd
