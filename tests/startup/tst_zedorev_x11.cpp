// The zedorev program itself on a real X server: it starts the keyboard,
// refuses a second instance, ends through QUITTER with the backup message,
// and ends with the keyboard on the offline path. Driven with xdotool as an
// operator would click.
#include "common/Processes.h"

#include "support/PosFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRect>
#include <QTest>

using namespace zd;
using namespace zd::test;

namespace {

QString xdotool(const QStringList &args)
{
    QProcess p;
    p.start("xdotool", args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// First visible window whose title matches, waiting up to `ms`.
QString waitForWindow(const QString &title, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        const QString id = xdotool({"search", "--onlyvisible", "--name", title}).section('\n', 0, 0);
        if (!id.isEmpty())
            return id;
        QTest::qWait(100);
    }
    return {};
}

QRect geometryOf(const QString &window)
{
    const QString out = xdotool({"getwindowgeometry", "--shell", window});
    QRect r;
    for (const QString &line : out.split('\n')) {
        const QString key = line.section('=', 0, 0), value = line.section('=', 1);
        if (key == "X") r.moveLeft(value.toInt());
        if (key == "Y") r.moveTop(value.toInt());
        if (key == "WIDTH") r.setWidth(value.toInt());
        if (key == "HEIGHT") r.setHeight(value.toInt());
    }
    return r;
}

void clickAt(const QPoint &p)
{
    xdotool({"mousemove", QString::number(p.x()), QString::number(p.y())});
    QTest::qWait(100);
    xdotool({"click", "1"});
}

// "Accepter" of a kind-1 message: button 0, 1935 x 855 twips at (2640, 2640).
void acceptMessage(const QString &window)
{
    const QRect r = geometryOf(window);
    clickAt(r.topLeft() + QPoint(2640 / 15 + 60, 2640 / 15 + 25));
}

bool waitUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (done())
            return true;
        QTest::qWait(100);
    }
    return done();
}

} // namespace

class TstZedorevX11 : public QObject {
    Q_OBJECT
    ProgramFolder m_folder;
    QTemporaryDir m_home;

    bool installProgram()
    {
        for (const QString &name : {"zedorev", "trs_teclado"}) {
            const QString target = m_folder.file(name);
            QFile::remove(target);
            if (!QFile::copy(QStringLiteral(ZD_PROGRAM_DIR "/") + name, target))
                return false;
            QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner);
        }
        for (const QString &skin : QDir(ZD_PROGRAM_DIR).entryList({"*.png", "*.jpg"}))
            QFile::copy(QStringLiteral(ZD_PROGRAM_DIR "/") + skin, m_folder.file(skin));
        return true;
    }

    std::unique_ptr<QProcess> start(const QString &program = {}, const QStringList &arguments = {},
                                    const QString &folderVariable = {})
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home.path());
        env.remove("QT_QPA_PLATFORM");
        env.remove("ZEDOREV_FOLDER");
        if (!folderVariable.isEmpty())
            env.insert("ZEDOREV_FOLDER", folderVariable);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(program.isEmpty() ? m_folder.file("zedorev") : program, arguments);
        return p;
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server (run by scripts/test under Xvfb)");
        QVERIFY(installProgram());
    }

    void cleanup()
    {
        common::KillProcessByName("zedorev");
        common::KillProcessByName("trs_teclado");
    }

    void runsOnceAndQuitsWithTheBackup()
    {
        PosFixture pos(m_folder.path());
        QVERIFY(pos.addShopDefaults());
        QVERIFY(pos.addCustomer({.idcliente = 1, .nombre = "BOUCHERIE UN"}));
        pos.close();

        auto first = start();
        const QString main = waitForWindow("^Tiques de Clientes\\.$");
        QVERIFY2(!main.isEmpty(), "the main window did not show");
        QVERIFY(waitUntil([] { return common::FindProcessId("trs_teclado.exe") != 0; }, 5000));

        // A second instance ends at once without a window of its own.
        auto second = start();
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        // QUITTER (13800, 1560 twips), then the backup message.
        const QRect r = geometryOf(main);
        clickAt(r.topLeft() + QPoint(13800 / 15 + 40, 1560 / 15 + 20));
        const QString message = waitForWindow("^Aviso$");
        QVERIFY2(!message.isEmpty(), "no backup message");
        QVERIFY(QFile::exists(m_folder.file("TRS_seguridad/TRS_FAC_back")));
        QVERIFY(QFile::exists(m_home.filePath("TRS_FAC_back")));
        acceptMessage(message);
        QVERIFY(first->waitForFinished(10000));
        QVERIFY(waitUntil([] { return common::FindProcessId("trs_teclado.exe") == 0; }, 5000));
        // The pictures stored with the windows are part of the program.
        const QByteArray output = first->readAll();
        QVERIFY2(!output.contains("missing embedded picture"), output.constData());
    }

    void shiftThenFixOnTheKeyboardEndsTheProgramAndTheKeyboard()
    {
        QFile::remove(m_folder.file("data/127.0.0.1/Tillvane.sqlite"));
        PosFixture pos(m_folder.path());
        QVERIFY(pos.addShopDefaults());
        QVERIFY(pos.addCustomer({.idcliente = 1, .nombre = "BOUCHERIE UN"}));
        pos.close();

        auto run = start();
        QVERIFY2(!waitForWindow("^Tiques de Clientes\\.$").isEmpty(), "the main window did not show");
        const QString keyboard = waitForWindow("^TRS_Teclado$");
        QVERIFY2(!keyboard.isEmpty(), "the keyboard did not show");
        // Shift (key 53), then Fix (key 14): the centres of their keys.
        const QPoint origin = geometryOf(keyboard).topLeft();
        clickAt(origin + QPoint(200, 176));
        clickAt(origin + QPoint(908, 128));
        QVERIFY(run->waitForFinished(10000));
        QVERIFY(waitUntil([] { return common::FindProcessId("trs_teclado.exe") == 0; }, 5000));
    }

    // The build tree's own program on another folder, chosen by option or
    // environment: the folder is made and filled at the first start, the
    // keyboard is told the same folder, and both end on the offline path.
    void chosenFolderIsFilledAtFirstStart_data()
    {
        QTest::addColumn<bool>("byOption");
        QTest::newRow("--folder") << true;
        QTest::newRow("ZEDOREV_FOLDER") << false;
    }
    void chosenFolderIsFilledAtFirstStart()
    {
        QFETCH(bool, byOption);
        const QString folder = m_home.filePath(byOption ? "by-option/shop" : "by-variable/shop");
        auto run = start(QStringLiteral(ZD_PROGRAM_DIR "/zedorev"),
                         byOption ? QStringList{"--folder", folder} : QStringList{},
                         byOption ? QString() : folder);
        const QString message = waitForWindow("^Aviso$");
        QVERIFY2(!message.isEmpty(), "no offline message");
        QVERIFY(QFileInfo::exists(folder + "/data/127.0.0.1/TRS_FAC.sqlite"));
        QVERIFY(QFileInfo(folder + "/TRS_seguridad").isDir());
        // The keyboard this zedorev started, told the same folder.
        const QByteArray expected = QByteArray(ZD_PROGRAM_DIR "/trs_teclado") + '\0' + "--folder" + '\0'
                                    + QFile::encodeName(folder) + '\0';
        const auto keyboardOfThisFolder = [&expected] {
            for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
                QFile cmdline("/proc/" + pid + "/cmdline");
                if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll() == expected)
                    return true;
            }
            return false;
        };
        QVERIFY2(waitUntil(keyboardOfThisFolder, 5000), "no keyboard started on the chosen folder");
        acceptMessage(message);
        QVERIFY(run->waitForFinished(10000));
        QVERIFY(waitUntil([] { return common::FindProcessId("trs_teclado.exe") == 0; }, 5000));
    }

    void offlineEndsWithTheKeyboard()
    {
        QFile::remove(m_folder.file("data/127.0.0.1/Tillvane.sqlite"));
        auto run = start();
        const QString message = waitForWindow("^Aviso$");
        QVERIFY2(!message.isEmpty(), "no offline message");
        QVERIFY(common::FindProcessId("trs_teclado.exe") != 0);
        acceptMessage(message);
        QVERIFY(run->waitForFinished(10000));
        QVERIFY(waitUntil([] { return common::FindProcessId("trs_teclado.exe") == 0; }, 5000));
        QVERIFY(common::FindProcessId("zedorev") == 0);
    }
};

QTEST_MAIN(TstZedorevX11)
#include "tst_zedorev_x11.moc"
