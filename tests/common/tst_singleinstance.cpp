// One instance per name, and the hold of a killed process is gone at once,
// even when its process id comes back.
#include "common/SingleInstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cstring>
#include <memory>

using zd::common::SingleInstance;

class TestSingleInstance : public QObject {
    Q_OBJECT

private:
    QString m_name = QStringLiteral("zd_single_probe_%1").arg(QCoreApplication::applicationPid());

private slots:
    void secondInstanceRefusedUntilFirstEnds()
    {
        auto first = std::make_unique<SingleInstance>(m_name);
        QVERIFY(first->isFirst());
        {
            SingleInstance second(m_name);
            QVERIFY(!second.isFirst());
        }
        SingleInstance other(m_name + QStringLiteral("_other"));
        QVERIFY(other.isFirst());
        first.reset();
        SingleInstance third(m_name);
        QVERIFY(third.isFirst());
    }

    void refusedWhileAnotherProcessHoldsItThenTakenOverWhenKilled()
    {
        const QString name = m_name + QStringLiteral("_child");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), name});
        QVERIFY(child.waitForReadyRead(10000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("held"));
        {
            SingleInstance mine(name);
            QVERIFY(!mine.isFirst());
        }
        child.kill(); // no chance to remove its lock file
        QVERIFY(child.waitForFinished(5000));
        SingleInstance mine(name);
        QVERIFY(mine.isFirst());
    }

    void killedHoldersIdComingBackDoesNotKeepTheLock()
    {
        // Where process ids repeat (a kiosk's fixed start order, a container),
        // the next copy can get the id of the copy that was killed. Setting
        // the next id needs root.
        QFile nextId(QStringLiteral("/proc/sys/kernel/ns_last_pid"));
        if (!nextId.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("cannot choose the next process id here (needs root)");
        const QString name = m_name + QStringLiteral("_reused");
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), name});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        const qint64 killedId = holder.processId();
        holder.kill();
        QVERIFY(holder.waitForFinished(5000));

        // Other processes of the machine may take the id first: a few tries.
        for (int attempt = 0; attempt < 20; ++attempt) {
            QProcess next;
            nextId.write(QByteArray::number(killedId - 1));
            next.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), name});
            QVERIFY(next.waitForReadyRead(10000));
            const QByteArray answer = next.readLine().trimmed();
            const bool sameId = next.processId() == killedId;
            next.kill();
            next.waitForFinished(5000);
            if (sameId) {
                QCOMPARE(answer, QByteArray("held"));
                return;
            }
        }
        QSKIP("the killed holder's process id did not come back");
    }
};

int main(int argc, char **argv)
{
    // Child mode: hold the lock until killed.
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0) {
        QCoreApplication app(argc, argv);
        SingleInstance lock(QString::fromLocal8Bit(argv[2]));
        std::fputs(lock.isFirst() ? "held\n" : "refused\n", stdout);
        std::fflush(stdout);
        QThread::sleep(60);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestSingleInstance t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_singleinstance.moc"
