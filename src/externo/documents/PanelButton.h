#pragma once
#include <QPushButton>

namespace zd::documents {

// A push button whose caption wraps onto two lines when the button is
// narrow (the panel's buttons are small and captions are two words).
class PanelButton : public QPushButton {
    Q_OBJECT
public:
    PanelButton(const QString &name, const QString &caption, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace zd::documents
