#include "Processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <sys/types.h>
#include <signal.h>

namespace zd::common {

namespace {

// Upper-cased name without a trailing ".EXE": the programs are named without
// the Windows extension here, while callers still pass "trs_teclado.exe".
QString comparable(QString name)
{
    name = name.toUpper();
    if (name.endsWith(QLatin1String(".EXE")))
        name.chop(4);
    return name;
}

QString exeName(qint64 pid)
{
    QString target = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    // A program replaced on disk while running keeps its old name plus this.
    const QLatin1String deleted(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return QFileInfo(target).fileName();
}

QString argv0Name(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.read(4096);
    const QByteArray first = all.left(all.indexOf('\0') < 0 ? all.size() : all.indexOf('\0'));
    return QFileInfo(QString::fromLocal8Bit(first)).fileName();
}

} // namespace

qint64 FindProcessId(const QString &name)
{
    const QString wanted = comparable(name);
    if (wanted.isEmpty())
        return 0;
    QVector<qint64> pids;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &e : entries) {
        bool ok = false;
        const qint64 pid = e.toLongLong(&ok);
        if (ok && pid > 0)
            pids.append(pid);
    }
    std::sort(pids.begin(), pids.end());

    qint64 found = 0;
    for (qint64 pid : pids) {
        // The executable's own file name first (comm is cut to 15 characters);
        // argv[0] covers processes whose exe link we may not read.
        const QString exe = exeName(pid);
        if ((!exe.isEmpty() && comparable(exe) == wanted) || comparable(argv0Name(pid)) == wanted)
            found = pid;
    }
    return found;
}

void KillProcessByName(const QString &name)
{
    const qint64 pid = FindProcessId(name);
    // kill(0) would hit our own process group: only real ids are ended.
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGKILL);
}

} // namespace zd::common
