#pragma once
#include "DialogBase.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zd {

struct AppState;

// The shop dialog: the operator types the shop number (up to three digits)
// when the program serves one of several shops.
class FrmTienda : public DialogBase {
    Q_OBJECT
public:
    explicit FrmTienda(AppState &state, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *CmdAceptar = nullptr;

    // ShopNumber = the digits typed (0 when none); the window closes.
    void CmdAceptar_Click();

protected:
    void showEvent(QShowEvent *event) override;
    // Closed without "Aceptar": ShopNumber stays as it was.
    void closeEvent(QCloseEvent *event) override;
    // Text1's key handler: only digits and Backspace get through.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppState &m_state;
};

} // namespace zd
