#pragma once
#include "DialogBase.h"

class QLabel;
class QTimer;

namespace zd {

struct AppState;

// The wait window shown while a customer's list loads. It disables the main
// window and closes itself after `intervalMs` at the latest.
class FrmEspera : public DialogBase {
    Q_OBJECT
public:
    explicit FrmEspera(AppState &state, int intervalMs = 15000, QWidget *parent = nullptr);
    ~FrmEspera() override;

    QLabel *Label1 = nullptr;
    QTimer *Timer1 = nullptr;

    // Called by the caller right after show(): top-most, main window
    // disabled, rounded frame, Timer1 started, one Yield.
    void Activate();
    // Closes the window, stops Timer1 and enables the main window again.
    // A second call (the timer was first) does nothing.
    void Unload();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Timer1_Timer();

    AppState &m_state;
    bool m_unloaded = false;
};

} // namespace zd
