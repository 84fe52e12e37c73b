#pragma once
#include <QPushButton>

namespace zd {

// A push button whose caption wraps onto several lines when it is wider than
// the button (touch-screen buttons carry long French captions). text() stays
// the caption as given.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace zd
