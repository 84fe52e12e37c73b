#include "ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextStream>

#include <sys/stat.h>

#ifndef ZD_INSTALLED_FOLDER
#define ZD_INSTALLED_FOLDER "/var/lib/zedorev"
#endif
#ifndef ZD_SHARED_FROM_PROGRAMS
#define ZD_SHARED_FROM_PROGRAMS "../share/zedorev"
#endif
#ifndef ZD_VERSION
#define ZD_VERSION "0"
#endif

namespace zd::common {

namespace {

QString cleanFolder(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

ProgramFolders ProgramFolders::single(const QString &folder)
{
    const QString f = cleanFolder(folder);
    return ProgramFolders{f, f, f, false};
}

ProgramFolders ProgramFolders::locate(const QString &programsDir, const QString &chosen)
{
    ProgramFolders folders = single(programsDir);
    const QString shared = cleanFolder(programsDir + QLatin1Char('/') + QLatin1String(ZD_SHARED_FROM_PROGRAMS));
    if (QFileInfo(shared).isDir()) {
        folders.installed = true;
        folders.shared = shared;
        folders.folder = QStringLiteral(ZD_INSTALLED_FOLDER);
    }
    if (!chosen.isEmpty())
        folders.folder = cleanFolder(chosen);
    return folders;
}

QString ProgramFolders::picture(const QString &name) const
{
    const QString own = folder + QLatin1Char('/') + name;
    if (shared == folder || QFileInfo::exists(own))
        return own;
    return shared + QLatin1Char('/') + name;
}

int readCommandLine(const QStringList &arguments, const QString &description, QString *chosen)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString program = arguments.isEmpty() ? QStringLiteral("zedorev")
                                                : QFileInfo(arguments.first()).fileName();
    chosen->clear();
    bool given = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << "Usage: " << program << " [--folder DIR]\n"
                << description << "\n\n"
                << "  --folder DIR  the program folder (configuration files, markers, data/,\n"
                << "                TRS_seguridad/, logo); also $" << kFolderVariable << ".\n"
                << "                Default: the programs' own folder in a build tree,\n"
                << "                " << ZD_INSTALLED_FOLDER << " once installed.\n"
                << "  --help        this text\n"
                << "  --version     the version\n";
            return 0;
        }
        if (a == QLatin1String("--version")) {
            out << program << " " << ZD_VERSION << "\n";
            return 0;
        }
        if (a == QLatin1String("--folder") && i + 1 < arguments.size()) {
            *chosen = arguments.at(++i);
            given = true;
        } else if (a.startsWith(QLatin1String("--folder="))) {
            *chosen = a.mid(9);
            given = true;
        } else {
            err << program << ": unknown argument " << a << " (try --help)\n";
            return 2;
        }
        if (chosen->isEmpty()) {
            err << program << ": --folder needs a folder\n";
            return 2;
        }
    }
    if (!given)
        *chosen = qEnvironmentVariable(kFolderVariable);
    return -1;
}

bool prepareFolder(const QString &folder, QString *error)
{
    // The folder, or the nearest folder above it that exists, says whether
    // it is shared; that is settled before creating anything.
    QString existing = cleanFolder(folder);
    while (!QFileInfo(existing).isDir() && existing != QDir::rootPath())
        existing = QFileInfo(existing).absolutePath();
    struct stat st {};
    if (::stat(QFile::encodeName(existing).constData(), &st) == 0 && (st.st_mode & S_ISGID))
        ::umask(currentUmask() & ~mode_t(S_IRWXG));
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create the program folder %1").arg(folder);
        return false;
    }
    // Trying is the only sure test: groups, ACLs and read-only mounts all count.
    QTemporaryFile probe(folder + QStringLiteral("/.zedorev-probe-XXXXXX"));
    if (!probe.open()) {
        *error = QStringLiteral("cannot write in the program folder %1: %2").arg(folder, probe.errorString());
        return false;
    }
    return true;
}

bool giveNewFileMode(const QString &path)
{
    return ::chmod(QFile::encodeName(path).constData(), 0666 & ~currentUmask()) == 0;
}

} // namespace zd::common
