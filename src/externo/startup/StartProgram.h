#pragma once

namespace zd {

// The program's entry: builds the application and the shared state, runs the
// start-up sequence and the main window's event loop. Returns the exit code.
int StartProgramMain(int argc, char **argv);

} // namespace zd
