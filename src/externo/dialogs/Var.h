#pragma once
#include <QString>

class QWidget;

namespace zd {

struct AppState;

// Sleeps 1 ms, then processes the pending window events. Wait loops call it
// once per pass, so timers and the keyboard keep working while they wait.
void Yield();

// Shows `text` in FrmMensaje (kind 1: one "Accepter"; kind 2: "Accepter" and
// "Annuler") and returns once the operator pressed a button. Sets
// MessageKind; MessageCancelled is true only after "Annuler". The main window
// is disabled meanwhile.
void ShowMessage(AppState &state, const QString &text, qint16 kind);

// A server could not be reached: closes `loadingWindowToClose` if given,
// shows "Hors Ligne avec Tillvane...", ends the keyboard program and calls
// state.EndProgram(0). Returns only when EndProgram returns (tests).
void TakeOfflinePath(AppState &state, QWidget *loadingWindowToClose = nullptr);

} // namespace zd
