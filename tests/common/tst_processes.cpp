// Finding and ending processes by executable name, with real processes.
#include "common/Processes.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using zd::common::FindProcessId;
using zd::common::KillProcessByName;

class TestProcesses : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    // Names are unique to this run and longer than the 15 characters the
    // kernel keeps as a process's short name.
    QString m_base = QStringLiteral("zd_process_probe_%1").arg(QCoreApplication::applicationPid());

    QString copyOfSleep(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        if (!QFile::exists(path))
            [&] { QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), path)); }();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    std::unique_ptr<QProcess> start(const QString &program)
    {
        auto p = std::make_unique<QProcess>();
        p->start(program, {QStringLiteral("30")});
        if (!p->waitForStarted())
            qWarning("cannot start %s", qPrintable(program));
        return p;
    }

    static bool ended(QProcess &p) { return p.waitForFinished(3000); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void noSuchProcessIsZeroAndKillIsSilent()
    {
        QCOMPARE(FindProcessId(m_base + QStringLiteral("_absent.exe")), 0);
        QCOMPARE(FindProcessId(QString()), 0);
        KillProcessByName(m_base + QStringLiteral("_absent.exe")); // must not throw or signal anyone
        QCOMPARE(FindProcessId(QString()), 0);
    }

    // Two programs whose names differ only in case: the later in the process
    // list is found, and only that one is ended.
    void caseInsensitiveLastMatchWinsAndOnlyItIsKilled()
    {
        const QString upper = m_base.toUpper().replace(0, 3, QStringLiteral("Zd_"));
        auto first = start(copyOfSleep(upper));
        auto second = start(copyOfSleep(m_base));
        QVERIFY(first->processId() > 0 && second->processId() > 0);
        const qint64 later = std::max(first->processId(), second->processId());

        QCOMPARE(FindProcessId(m_base + QStringLiteral(".exe")), later);
        QCOMPARE(FindProcessId(m_base.toUpper() + QStringLiteral(".EXE")), later);
        QCOMPARE(FindProcessId(m_base), later);

        KillProcessByName(m_base + QStringLiteral(".exe"));
        QProcess &killed = first->processId() == later ? *first : *second;
        QProcess &spared = first->processId() == later ? *second : *first;
        QVERIFY(ended(killed));
        QCOMPARE(killed.exitStatus(), QProcess::CrashExit); // ended from outside
        QCOMPARE(spared.state(), QProcess::Running);
        QCOMPARE(FindProcessId(m_base + QStringLiteral(".exe")), spared.processId());

        KillProcessByName(m_base);
        QVERIFY(ended(spared));
        QCOMPARE(FindProcessId(m_base), 0);
    }

    // A program deleted while it runs is still found under its name.
    void deletedExecutableStillFound()
    {
        const QString name = m_base + QStringLiteral("_gone");
        const QString path = copyOfSleep(name);
        auto p = start(path);
        QVERIFY(QFile::remove(path));
        QCOMPARE(FindProcessId(name + QStringLiteral(".exe")), p->processId());
        KillProcessByName(name);
        QVERIFY(ended(*p));
    }

    // Started through a link, the executable is the link's target; the name
    // it was started under (argv[0]) still finds it.
    void startedThroughLinkFoundByArgv0()
    {
        const QString name = m_base + QStringLiteral("_link");
        const QString link = m_dir.filePath(name);
        QVERIFY(QFile::link(QStringLiteral("/bin/sleep"), link));
        auto p = start(link);
        QCOMPARE(FindProcessId(name), p->processId());
        KillProcessByName(name);
        QVERIFY(ended(*p));
    }
};

QTEST_GUILESS_MAIN(TestProcesses)
#include "tst_processes.moc"
