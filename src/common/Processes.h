#pragma once
#include <QString>

namespace zd::common {

// Id of a running process whose executable name equals `name` without regard
// to case (a trailing ".exe" on either side is ignored, so "trs_teclado.exe"
// finds the program trs_teclado); 0 when there is none. When several match,
// the one met last in the process list (/proc, ascending ids) wins.
qint64 FindProcessId(const QString &name);

// Ends the process FindProcessId returns for `name` (SIGKILL: the process has
// no say, as with an exit code forced from outside). Silent when none runs.
void KillProcessByName(const QString &name);

} // namespace zd::common
