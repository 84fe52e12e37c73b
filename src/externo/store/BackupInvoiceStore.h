#pragma once
#include <QString>

namespace zd {

struct AppState;

struct BackupResult {
    enum Status {
        Ok,           // backup written, verified and copied
        Unreachable,  // the local server did not answer: the caller takes the offline path
        Failed        // the backup or its copy failed; the previous backup file is kept
    } status = Failed;
    QString backupFile;  // <program folder>/TRS_seguridad/TRS_FAC_back
    QString copyFile;    // the copy, when it was made
    QString error;
};

// The backup at exit: BACKUP DATABASE on the local server into the program
// folder's TRS_seguridad, then a copy to copyDestination. The file always
// holds exactly one backup set. Whenever the program stops, killed or cut
// from power included, TRS_FAC_back is there, whole and verified: the
// previous backup until a complete, verified new one has replaced it in one
// step; what an interrupted backup left is removed by the next one. The copy
// is replaced the same way.
BackupResult BackupInvoiceStore(AppState &state, const QString &copyDestination);

// "BACKUP DATABASE TRS_FAC TO DISK = N'<file>' WITH NOFORMAT, NOINIT, NAME =N'TRS_FAC'"
QString BackupStatement(const QString &backupFile);

// "RESTORE VERIFYONLY FROM DISK = N'<file>'": the server reads a backup
// through and checks that it is complete and restorable.
QString VerifyStatement(const QString &backupFile);

} // namespace zd
