// The real zedorev and the keyboard it starts, on a Wayland desktop: run by
// tests/support/wayland_session inside mutter (GNOME) and sway. Taps go
// through the compositor as a finger's would; what arrives in TxtCliente is
// read back through the accessibility bus.
#include "common/Processes.h"
#include "teclado/KeyLayouts.h"

#include "support/PosFixture.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace zd;
using namespace zd::test;
using Layout = zd::teclado::KeyLayouts::Layout;
namespace KeyLayouts = zd::teclado::KeyLayouts;

namespace {

constexpr int ScreenWidth = 1280, ScreenHeight = 1024; // the sessions' screen
// TxtCliente inside the main window: 1200, 120, 4215 x 495 twips.
const QRect TxtClienteRect(80, 8, 281, 33);

QString run(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(10000))
        p.kill();
    p.waitForFinished(1000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

quint64 visibleWindow(const QString &titlePattern)
{
    return run("xdotool", {"search", "--onlyvisible", "--name", titlePattern}).section('\n', 0, 0).toULongLong();
}

// Where the window's own area lies on the screen (xdotool counts a window
// manager's frame twice).
QRect geometryOf(quint64 window)
{
    const QString info = run("xwininfo", {"-id", QString::number(window)});
    auto field = [&](const QString &name) {
        const int at = info.indexOf(name);
        return at < 0 ? -100000 : info.mid(at + name.size()).section('\n', 0, 0).trimmed().toInt();
    };
    return {field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"), field("Height:")};
}

quint64 activeWindow()
{
    return run("xdotool", {"getactivewindow"}).toULongLong();
}

// The texts of the editable boxes of process `pid`, by their place in their
// window, read through the accessibility (AT-SPI) bus.
class Accessibility {
public:
    bool connect()
    {
        const QDBusMessage reply = QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
        if (reply.type() != QDBusMessage::ReplyMessage)
            return false;
        m_bus = QDBusConnection::connectToBus(reply.arguments().value(0).toString(), "zd-a11y");
        return m_bus.isConnected();
    }

    QList<QPair<QRect, QString>> texts(qint64 pid)
    {
        QList<QPair<QRect, QString>> found;
        const QString service = serviceOf(pid);
        if (service.isEmpty())
            return found;
        QStringList pending{"/org/a11y/atspi/accessible/root"};
        for (int visited = 0; !pending.isEmpty() && visited < 3000; ++visited) {
            const QString path = pending.takeFirst();
            pending += children(service, path);
            const QDBusMessage text = call(service, path, "Text", "GetText", {0, -1});
            if (text.type() != QDBusMessage::ReplyMessage)
                continue;
            const QDBusMessage extents = call(service, path, "Component", "GetExtents", {1u}); // window
            int x = 0, y = 0, w = 0, h = 0;
            const QDBusArgument rect = extents.arguments().value(0).value<QDBusArgument>();
            rect.beginStructure();
            rect >> x >> y >> w >> h;
            rect.endStructure();
            found.append({QRect(x, y, w, h), text.arguments().value(0).toString()});
        }
        return found;
    }

private:
    QString serviceOf(qint64 pid)
    {
        if (m_service.first == pid)
            return m_service.second;
        for (const QString &name : m_bus.interface()->registeredServiceNames().value()) {
            if (name.startsWith(':') && m_bus.interface()->servicePid(name).value() == pid) {
                m_service = {pid, name};
                return name;
            }
        }
        return {};
    }

    QStringList children(const QString &service, const QString &path)
    {
        QStringList paths;
        const QDBusMessage reply = call(service, path, "Accessible", "GetChildren");
        if (reply.type() != QDBusMessage::ReplyMessage)
            return paths;
        const QDBusArgument list = reply.arguments().value(0).value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            QString owner;
            QDBusObjectPath child;
            list.beginStructure();
            list >> owner >> child;
            list.endStructure();
            paths << child.path();
        }
        list.endArray();
        return paths;
    }

    QDBusMessage call(const QString &service, const QString &path, const QString &interface, const QString &method,
                      const QVariantList &args = {})
    {
        QDBusMessage m = QDBusMessage::createMethodCall(service, path, "org.a11y.atspi." + interface, method);
        m.setArguments(args);
        return m_bus.call(m, QDBus::Block, 3000);
    }

    QDBusConnection m_bus{QString()};
    QPair<qint64, QString> m_service;
};

} // namespace

class TestKeyboardWayland : public QObject {
    Q_OBJECT

    ProgramFolder m_folder;
    QTemporaryDir m_home;
    std::unique_ptr<QProcess> m_zedorev;
    Accessibility m_a11y;
    QString m_compositor;
    quint64 m_main = 0;
    quint64 m_keyboard = 0;

    std::unique_ptr<QProcess> m_finger; // sway: a virtual pointer

    // A finger on the screen, through the compositor's own input: a tap, or
    // only the pointer moved there.
    void touch(const QPoint &p, bool tap = true)
    {
        if (m_finger) {
            m_finger->write(QString("%1 %2 %3\n").arg(tap ? "tap" : "move").arg(p.x()).arg(p.y()).toLatin1());
            QVERIFY(m_finger->waitForReadyRead(5000));
            QCOMPARE(m_finger->readLine().trimmed(), QByteArray("ok"));
        } else {
            // mutter's nested window fills the top left of its X server.
            QStringList args{"mousemove", QString::number(p.x()), QString::number(p.y())};
            if (tap)
                args << "click" << "1";
            run("xdotool", args, outerDisplay());
        }
    }

    // The X server mutter's nested window is on.
    static QProcessEnvironment outerDisplay()
    {
        QProcessEnvironment outer = QProcessEnvironment::systemEnvironment();
        outer.insert("DISPLAY", qEnvironmentVariable("ZD_OUTER_DISPLAY"));
        outer.remove("XAUTHORITY");
        return outer;
    }

    void tapKeys(const QList<int> &keys)
    {
        const QPoint origin = geometryOf(m_keyboard).topLeft();
        for (int key : keys) {
            touch(origin + KeyLayouts::keyRectPixels(key).center());
            QTest::qWait(250); // an operator's pace
        }
    }

    // The X window of the view sway gives the keyboard focus to.
    static quint64 swayFocus()
    {
        QList<QJsonObject> nodes{QJsonDocument::fromJson(run("swaymsg", {"-t", "get_tree"}).toUtf8()).object()};
        while (!nodes.isEmpty()) {
            const QJsonObject node = nodes.takeFirst();
            if (node.value("focused").toBool())
                return quint64(node.value("window").toDouble());
            for (const char *list : {"nodes", "floating_nodes"})
                for (const QJsonValue &child : node.value(list).toArray())
                    nodes << child.toObject();
        }
        return 0;
    }

    static int keyOf(QChar c, Layout layout)
    {
        const int at = int(KeyLayouts::table(layout).indexOf(c));
        return at < 0 ? -1 : KeyLayouts::TableBase + at;
    }

    QString txtCliente()
    {
        QStringList seen;
        for (const auto &[rect, text] : m_a11y.texts(m_zedorev->processId())) {
            // Its size alone tells it: window coordinates count from the
            // window manager's frame, which differs between compositors.
            if (rect.size() == TxtClienteRect.size())
                return text;
            seen << QString("%1,%2 %3x%4: %5").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height()).arg(text);
        }
        return "<no TxtCliente among: " + seen.join("; ") + ">";
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("ZD_SESSION_UNAVAILABLE"))
            QSKIP(qPrintable("no Wayland session on this machine: " + qEnvironmentVariable("ZD_SESSION_UNAVAILABLE")));
        m_compositor = qEnvironmentVariable("ZD_COMPOSITOR");
        if (m_compositor.isEmpty() || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            QSKIP("runs inside a compositor session: tests/support/wayland_session mutter|sway THIS_TEST");
        QVERIFY2(m_a11y.connect(), "no accessibility bus");
        if (m_compositor == "sway") {
            // A headless sway has no input device of its own.
            const QString finger = QCoreApplication::applicationDirPath() + "/zd_wayland_pointer";
            QVERIFY2(QFile::exists(finger), "zd_wayland_pointer was not built: libwayland-dev is missing "
                                            "(scripts/install-deps installs it)");
            m_finger = std::make_unique<QProcess>();
            m_finger->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            m_finger->start(finger, {QString::number(ScreenWidth), QString::number(ScreenHeight)});
            QVERIFY(m_finger->waitForReadyRead(5000));
            QCOMPARE(m_finger->readLine().trimmed(), QByteArray("ready"));
        }

        for (const QString &name : {"zedorev", "trs_teclado"}) {
            QVERIFY(QFile::copy(QStringLiteral(ZD_PROGRAM_DIR "/") + name, m_folder.file(name)));
            QFile::setPermissions(m_folder.file(name), QFile::permissions(m_folder.file(name)) | QFile::ExeOwner);
        }
        for (const QString &skin : QDir(ZD_PROGRAM_DIR).entryList({"*.png", "*.jpg"}))
            QFile::copy(QStringLiteral(ZD_PROGRAM_DIR "/") + skin, m_folder.file(skin));
        PosFixture pos(m_folder.path());
        QVERIFY(pos.addShopDefaults());
        QVERIFY(pos.addCustomer({.idcliente = 1, .nombre = "BOUCHERIE UN"}));
        QVERIFY(pos.addCustomer({.idcliente = 2, .nombre = "CAFE DU MARCHE"}));
        pos.close();

        // As started from the desktop's menu: no platform chosen.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        env.remove("ZEDOREV_FOLDER");
        env.insert("HOME", m_home.path());
        env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        m_zedorev = std::make_unique<QProcess>();
        m_zedorev->setProcessEnvironment(env);
        m_zedorev->setProcessChannelMode(QProcess::ForwardedChannels);
        m_zedorev->start(m_folder.file("zedorev"), {});
        QVERIFY(m_zedorev->waitForStarted(5000));

        // Both windows on XWayland: visible to X clients.
        QTRY_VERIFY2_WITH_TIMEOUT((m_main = visibleWindow("^Tiques de Clientes\\.$")) != 0, "no main window on X",
                                  30000);
        QTRY_VERIFY2_WITH_TIMEOUT((m_keyboard = visibleWindow("^TRS_Teclado$")) != 0, "no keyboard on X", 10000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), m_main, 5000);
    }

    void cleanupTestCase()
    {
        if (m_finger) {
            m_finger->closeWriteChannel();
            if (!m_finger->waitForFinished(2000))
                m_finger->kill();
        }
        if (m_zedorev) {
            m_zedorev->kill();
            m_zedorev->waitForFinished(3000);
        }
        common::KillProcessByName("trs_teclado");
    }

    void keyboardInheritsThePlatformAndSitsAtHome()
    {
        const qint64 keyboard = common::FindProcessId("trs_teclado");
        QVERIFY(keyboard);
        QFile environ(QString("/proc/%1/environ").arg(keyboard));
        QVERIFY(environ.open(QIODevice::ReadOnly));
        QVERIFY(environ.readAll().split('\0').contains("QT_QPA_PLATFORM=xcb;wayland"));
        QCOMPARE(geometryOf(m_keyboard), QRect(ScreenWidth - 1025, ScreenHeight - 212, 1025, 212));
    }

    void tapsArriveInTxtCliente()
    {
        QTRY_COMPARE_WITH_TIMEOUT(txtCliente(), QString(), 5000);
        // The pointer enters the screen first: each session drops a press
        // that comes with the pointer's very first entry (mutter: into its
        // nested window; sway: of a new virtual device, and for about a second
        // after leaving a managed window), which a touch screen in use never
        // sees.
        touch(m_compositor == "sway" ? geometryOf(m_keyboard).topLeft() + QPoint(1005, 100) : QPoint(600, 500),
              false);
        QTest::qWait(500);
        // "café" finds a customer: the wait window shows and closes, and the
        // main window comes back above the others.
        QList<int> keys;
        QString expected;
        for (QChar c : QStringLiteral(u"café\u00e8\u00e0\u00fa")) {
            keys << keyOf(c, Layout::Lowercase);
            expected += c;
        }
        for (QChar c : QStringLiteral("CA")) {
            keys << 53 << keyOf(c, Layout::Uppercase);
            expected += c;
        }
        for (QChar c : QStringLiteral(u"\u00e7\u20ac")) {
            keys << 55 << keyOf(c, Layout::Symbols);
            expected += c;
        }
        QVERIFY(!keys.contains(-1));
        tapKeys(keys);
        QTRY_COMPARE_WITH_TIMEOUT(txtCliente(), expected, 10000);
        QCOMPARE(activeWindow(), m_main);
        if (m_compositor == "sway")
            QCOMPARE(swayFocus(), m_main);

        // A touch on the main window (the right end of the box, where the
        // cursor already is), then at once a key. Not on sway: there, with
        // the headless backend's virtual pointer, XWayland places the first
        // pointer events after a touch on a managed window wrongly for about
        // a second.
        if (m_compositor == "sway")
            return;
        touch(geometryOf(m_main).topLeft() + TxtClienteRect.topLeft() + QPoint(TxtClienteRect.width() - 3, 16));
        QTest::qWait(60);
        tapKeys({keyOf('z', Layout::Lowercase)});
        QTRY_COMPARE_WITH_TIMEOUT(txtCliente(), expected + 'z', 5000);
        QCOMPARE(activeWindow(), m_main);
    }
};

QTEST_GUILESS_MAIN(TestKeyboardWayland)
#include "tst_keyboard_wayland.moc"
