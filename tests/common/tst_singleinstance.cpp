// One instance per name, and a lock left by a killed process is taken over.
#include "common/SingleInstance.h"

#include <QCoreApplication>
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
