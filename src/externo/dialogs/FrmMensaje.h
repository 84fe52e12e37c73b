#pragma once
#include "DialogBase.h"

#include <array>

class QLabel;
class QPushButton;

namespace zd {

struct AppState;

// The message window behind ShowMessage: a text and either one button
// (kind 1, information) or two (kind 2, confirmation).
// The control array ChameleonBtn1 is three push buttons with the object names
// "ChameleonBtn1_0", "ChameleonBtn1_1", "ChameleonBtn1_2"; each also carries
// its index in the property "index".
class FrmMensaje : public DialogBase {
    Q_OBJECT
public:
    explicit FrmMensaje(AppState &state, QWidget *parent = nullptr);

    QLabel *LblMsg1 = nullptr;
    QPushButton *ChameleonBtn1(int index) const { return m_buttons.at(index); }

    // Button `index` pressed: 2 ("Annuler") cancels, 0 and 1 accept.
    void ChameleonBtn1_Click(int index);

protected:
    // Activation: main window disabled, buttons by MessageKind, rounded frame.
    void showEvent(QShowEvent *event) override;
    // Closed by the window system without a button: answered as the
    // cautious button, so the main window is never left disabled.
    void closeEvent(QCloseEvent *event) override;

private:
    AppState &m_state;
    std::array<QPushButton *, 3> m_buttons{};
    bool m_answered = false;
};

} // namespace zd
