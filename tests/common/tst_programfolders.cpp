// Where the programs find their folder: build tree, installed layout,
// --folder and ZEDOREV_FOLDER; the shared folder's group-writable files.
#include "common/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using zd::common::ProgramFolders;

class TestProgramFolders : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    mode_t m_umask = 022;

    QString path(const QString &relative) const { return m_root.filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        // An installed layout: <prefix>/bin beside <prefix>/share/zedorev.
        QVERIFY(QDir().mkpath(path("usr/bin")));
        QVERIFY(QDir().mkpath(path("usr/share/zedorev")));
        // A build tree: bin/ with nothing of the kind beside it.
        QVERIFY(QDir().mkpath(path("build/bin")));
        m_umask = ::umask(022);
    }
    void init() { ::umask(022); }
    void cleanupTestCase() { ::umask(m_umask); }

    void locate_data()
    {
        QTest::addColumn<QString>("programs");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("shared");
        QTest::addColumn<bool>("installed");
        QTest::newRow("build tree") << "build/bin" << "" << "@build/bin" << "@build/bin" << false;
        QTest::newRow("build tree, trailing slash") << "build/bin/" << "" << "@build/bin" << "@build/bin" << false;
        QTest::newRow("installed") << "usr/bin" << "" << "/var/lib/zedorev" << "@usr/share/zedorev" << true;
        QTest::newRow("build tree, chosen") << "build/bin" << "@shop" << "@shop" << "@build/bin" << false;
        QTest::newRow("installed, chosen") << "usr/bin" << "@shop/" << "@shop" << "@usr/share/zedorev" << true;
    }
    void locate()
    {
        QFETCH(QString, programs);
        QFETCH(QString, chosen);
        QFETCH(QString, folder);
        QFETCH(QString, shared);
        QFETCH(bool, installed);
        const auto resolve = [this](QString p) {
            return p.startsWith('@') ? QDir::cleanPath(path(p.mid(1))) : p;
        };
        const ProgramFolders f = ProgramFolders::locate(path(programs), resolve(chosen));
        QCOMPARE(f.folder, resolve(folder));
        QCOMPARE(f.shared, resolve(shared));
        QCOMPARE(f.programs, QDir::cleanPath(path(programs)));
        QCOMPARE(f.installed, installed);
    }

    void pictureOfTheShopReplacesTheSharedOne()
    {
        QVERIFY(QDir().mkpath(path("shop")));
        const ProgramFolders f = ProgramFolders::locate(path("usr/bin"), path("shop"));
        QCOMPARE(f.picture("fact.jpg"), path("usr/share/zedorev/fact.jpg"));
        QFile own(path("shop/fact.jpg"));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.close();
        QCOMPARE(f.picture("fact.jpg"), path("shop/fact.jpg"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("nothing") << QStringList{} << "" << -1 << "";
        QTest::newRow("environment") << QStringList{} << "/srv/shop" << -1 << "/srv/shop";
        QTest::newRow("option") << QStringList{"--folder", "/a"} << "" << -1 << "/a";
        QTest::newRow("option=") << QStringList{"--folder=/a"} << "" << -1 << "/a";
        QTest::newRow("option over environment") << QStringList{"--folder", "/a"} << "/b" << -1 << "/a";
        QTest::newRow("no folder after the option") << QStringList{"--folder"} << "" << 2 << "";
        QTest::newRow("empty folder") << QStringList{"--folder="} << "" << 2 << "";
        QTest::newRow("unknown") << QStringList{"--fodler", "/a"} << "" << 2 << "";
        QTest::newRow("help") << QStringList{"--help"} << "" << 0 << "";
        QTest::newRow("version") << QStringList{"--version"} << "" << 0 << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(int, code);
        QFETCH(QString, chosen);
        if (environment.isEmpty())
            qunsetenv(zd::common::kFolderVariable);
        else
            qputenv(zd::common::kFolderVariable, environment.toLocal8Bit());
        QString got = "untouched";
        QCOMPARE(zd::common::readCommandLine(QStringList{"zedorev"} + arguments, "test", &got), code);
        if (code < 0)
            QCOMPARE(got, chosen);
        qunsetenv(zd::common::kFolderVariable);
    }

    void missingFolderIsCreated()
    {
        QString error;
        QVERIFY2(zd::common::prepareFolder(path("new/shop"), &error), qPrintable(error));
        QVERIFY(QFileInfo(path("new/shop")).isDir());
        QVERIFY(QDir(path("new/shop")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    }

    void unusableFolderIsNamed()
    {
        QFile blocker(path("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        QVERIFY(!zd::common::prepareFolder(path("blocker/shop"), &error));
        QVERIFY2(error.contains(path("blocker/shop")), qPrintable(error));
    }

    // In a setgid folder what the programs create (plain files, SQLite
    // files, folders made below it) stays writable by the group.
    void groupFolderKeepsFilesGroupWritable_data()
    {
        QTest::addColumn<bool>("setgid");
        QTest::newRow("own folder") << false;
        QTest::newRow("group folder") << true;
    }
    void groupFolderKeepsFilesGroupWritable()
    {
        QFETCH(bool, setgid);
        const QString folder = path(setgid ? "group" : "own");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), setgid ? 02775 : 0755) == 0);
        QString error;
        QVERIFY2(zd::common::prepareFolder(folder + "/data/127.0.0.1", &error), qPrintable(error));

        QFile plain(folder + "/data/127.0.0.1/plain");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QCOMPARE(bool(plain.permissions() & QFile::WriteGroup), setgid);
        QCOMPARE(bool(QFileInfo(folder + "/data").permissions() & QFile::WriteGroup), setgid);

        // A file made with a fixed private mode, as SQLite's backups are.
        const QByteArray fixed = QFile::encodeName(folder + "/fixed");
        const int fd = ::open(fixed.constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);
        QVERIFY(zd::common::giveNewFileMode(folder + "/fixed"));
        const QFile::Permissions p = QFile::permissions(folder + "/fixed");
        QVERIFY(p & QFile::ReadGroup);
        QCOMPARE(bool(p & QFile::WriteGroup), setgid);
        QVERIFY(!(p & QFile::WriteOther));
    }
};

QTEST_GUILESS_MAIN(TestProgramFolders)
#include "tst_programfolders.moc"
