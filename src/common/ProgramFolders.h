#pragma once
#include <QString>
#include <QStringList>

namespace zd::common {

// Where the programs' files are.
//
// A folder holding the programs (a build tree's bin/, or any folder they were
// copied to) is their program folder: everything is read and written there.
// An installed copy (its read-only data found at <executables>/../share/zedorev)
// writes in the installed program folder (/var/lib/zedorev) and reads the
// pictures and skins from the read-only data. "--folder DIR", or else the
// ZEDOREV_FOLDER environment variable, chooses the program folder in either
// case; the read-only data stays where the executables' layout says.
struct ProgramFolders {
    QString folder;    // configuration files, markers, data/, TRS_seguridad/, logo: written
    QString shared;    // pictures and skins that come with the programs: only read
    QString programs;  // the executables
    bool installed = false;

    // One folder holding everything (a build tree, a test's folder).
    static ProgramFolders single(const QString &folder);

    // The folders of a program whose executable lies in programsDir.
    // chosen: the folder given by --folder or the environment (empty: none).
    static ProgramFolders locate(const QString &programsDir, const QString &chosen);

    // folder/name when the shop put its own picture there, else shared/name.
    QString picture(const QString &name) const;
};

inline constexpr char kFolderVariable[] = "ZEDOREV_FOLDER";

// The command line both programs share: "--folder DIR" (or --folder=DIR),
// --help, --version. Sets *chosen to the folder given there, else to
// $ZEDOREV_FOLDER (empty when neither). Returns -1 to go on, or the exit
// code once help, the version or a usage error has been printed.
int readCommandLine(const QStringList &arguments, const QString &description, QString *chosen);

// Makes the program folder usable: creates it when missing and checks that
// files can be created in it. A folder shared by a group (setgid, as the
// installed one) makes every file created from now on writable by the group,
// so that every operator of the group can go on with it. False with a
// message naming the folder when it cannot be used.
bool prepareFolder(const QString &folder, QString *error);

// SQLite and temporary files are created with fixed modes (0644, 0600) that
// ignore a group-friendly umask; this gives such a file the mode any new file
// of the process gets: 0666 less the umask.
bool giveNewFileMode(const QString &path);

} // namespace zd::common
