#pragma once
#include "externo/state/AppState.h"

#include <memory>

namespace zd {

class FrmExterno;

// The start-up sequence, before the main window takes over: keyboard
// program, loading window, backup folder, invoice store, configuration
// files, shop number, main window. Returns the loaded main window, or
// nullptr when start-up ended the program (state.EndProgram was called).
std::unique_ptr<FrmExterno> StartProgram(AppState &state);

// The program's entry: application, shared state, single instance,
// StartProgram, event loop. Returns the exit code.
int StartProgramMain(int argc, char **argv);

// Name under which the keyboard program is ended.
inline constexpr char kKeyboardProcess[] = "trs_teclado.exe";

} // namespace zd
