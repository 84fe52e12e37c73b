// zd_seed, the command that writes point-of-sale databases.
#include "tools_helpers.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestZdSeed : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    int run(const QStringList &arguments, QString *output = nullptr)
    {
        QProcess process;
        process.setProgram(QStringLiteral(ZD_PROGRAM_DIR "/zd_seed"));
        process.setArguments(arguments);
        process.start();
        if (!process.waitForFinished(60000))
            return -1;
        if (output)
            *output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void demoIntoNewFolders()
    {
        const QString file = m_dir.filePath(QStringLiteral("bin/data/127.0.0.1/Tillvane.sqlite"));
        QString output;
        QCOMPARE(run({QStringLiteral("--demo"), file, QStringLiteral("--customers"), QStringLiteral("45"),
                      QStringLiteral("--tickets"), QStringLiteral("400"), QStringLiteral("--today"),
                      QStringLiteral("2023-01-31"), QStringLiteral("--seed"), QStringLiteral("3")},
                     &output),
                 0);
        QVERIFY2(output.contains(QStringLiteral("45 customers, 400 tickets")), qPrintable(output));
        QCOMPARE(scalarFromFile(file, QStringLiteral("select count(*) from documento")).toInt(), 400);
        QCOMPARE(scalarFromFile(file, QStringLiteral("select max(fecha) < '2023-01-31' from documento")).toInt(), 1);
        QVERIFY(!QFile::exists(file + QStringLiteral(".tmp")));
    }

    void emptyReplacesAnEarlierFile()
    {
        const QString file = m_dir.filePath(QStringLiteral("empty.sqlite"));
        QCOMPARE(run({QStringLiteral("--demo"), file, QStringLiteral("--tickets"), QStringLiteral("20")}), 0);
        QCOMPARE(run({QStringLiteral("--empty"), file}), 0);
        QCOMPARE(scalarFromFile(file, QStringLiteral("select count(*) from documento")).toInt(), 0);
        QCOMPARE(scalarFromFile(file, QStringLiteral("select count(*) from sqlite_master where type='table'")).toInt(),
                 7);
    }

    // "FILE" stands for the database the command must not write.
    void badArgumentsWriteNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const QString demo = QStringLiteral("--demo"), file = QStringLiteral("FILE");
        QTest::newRow("no mode") << QStringList{QStringLiteral("--tickets"), QStringLiteral("5")};
        QTest::newRow("two modes") << QStringList{demo, file, QStringLiteral("--scale"), file};
        QTest::newRow("bad date") << QStringList{demo, file, QStringLiteral("--today"), QStringLiteral("31/01/2023")};
        QTest::newRow("bad count") << QStringList{demo, file, QStringLiteral("--tickets"), QStringLiteral("many")};
        QTest::newRow("ids beyond eight digits")
            << QStringList{demo, file, QStringLiteral("--tickets"), QStringLiteral("100000000")};
    }

    void badArgumentsWriteNothing()
    {
        QFETCH(QStringList, arguments);
        const QString file = m_dir.filePath(QStringLiteral("bad.sqlite"));
        arguments.replaceInStrings(QStringLiteral("FILE"), file);
        QString output;
        QCOMPARE(run(arguments, &output), 2);
        QVERIFY2(output.contains(QStringLiteral("zd_seed:")), qPrintable(output));
        QVERIFY(!QFile::exists(file));
    }
};

QTEST_MAIN(TestZdSeed)
#include "tst_zdseed.moc"
