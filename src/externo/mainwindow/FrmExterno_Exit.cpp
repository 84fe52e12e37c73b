// Leaving the program: "QUITTER" and the unload handling with the backup of
// the invoice store.
#include "FrmExterno.h"

#include "common/Processes.h"
#include "externo/books/ChainEvents.h"
#include "externo/books/PeriodTotals.h"
#include "externo/dialogs/Var.h"
#include "externo/store/BackupInvoiceStore.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>

Q_LOGGING_CATEGORY(zdExit, "zedorev.exit")

namespace zd {

QString FrmExterno::backupCopyPath()
{
    return QDir::homePath() + QStringLiteral("/TRS_FAC_back");
}

void FrmExterno::CmdFin_Click()
{
    // The next start must start the keyboard visible.
    QFile::remove(m_state.programFile(QStringLiteral("/notrs_teclado")));
    close();
}

void FrmExterno::closeEvent(QCloseEvent *event)
{
    Unload();
    event->accept();
}

void FrmExterno::Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    waitForBooksCheck();

    if (m_state.PosConnection) {
        m_state.PosConnection->close();
        m_state.PosConnection.reset();
    }

    books::RecordStop(m_state);
    const BackupResult backup = BackupInvoiceStore(m_state, backupCopyPath());
    if (backup.status == BackupResult::Ok)
        books::RecordBackup(m_state, backup.backupFile);
    switch (backup.status) {
    case BackupResult::Unreachable:
        TakeOfflinePath(m_state);
        return;
    case BackupResult::Failed: {
        // The previous backup is kept; the operator is told, not reassured.
        qCWarning(zdExit) << "backup failed:" << backup.error;
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zedorev"), QStringLiteral("error"), QMessageBox::Ok,
                        this);
        box.setObjectName(QStringLiteral("BackupErrorBox"));
        box.setDetailedText(backup.error);
        box.exec();
        break;
    }
    case BackupResult::Ok:
        ShowMessage(m_state,
                    QStringLiteral("Une copie de sécurité du fichier est générée dans:\r\n")
                        + QDir::toNativeSeparators(backup.copyFile),
                    1);
        break;
    }
    common::KillProcessByName(QStringLiteral("trs_teclado.exe"));
}

} // namespace zd
