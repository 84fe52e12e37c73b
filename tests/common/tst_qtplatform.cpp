// The Qt platform both programs ask for, from the environment they start in.
#include "common/QtPlatform.h"

#include <QTest>

class TestQtPlatform : public QObject {
    Q_OBJECT

private:
    static void setOrUnset(const char *name, const QByteArray &value, bool set)
    {
        if (set)
            qputenv(name, value);
        else
            qunsetenv(name);
    }

private slots:
    void cleanup()
    {
        qunsetenv("WAYLAND_DISPLAY");
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    void platformChosenBeforeTheApplication_data()
    {
        QTest::addColumn<bool>("platformSet");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<bool>("waylandSet");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("expected"); // empty: left unset

        QTest::newRow("wayland session, nothing chosen") << false << QByteArray() << true << QByteArray("wayland-0")
                                                         << QByteArray("xcb;wayland");
        QTest::newRow("wayland session, empty choice") << true << QByteArray() << true << QByteArray("wayland-1")
                                                       << QByteArray("xcb;wayland");
        QTest::newRow("wayland session, native chosen") << true << QByteArray("wayland") << true
                                                        << QByteArray("wayland-0") << QByteArray("wayland");
        QTest::newRow("wayland session, offscreen") << true << QByteArray("offscreen") << true
                                                    << QByteArray("wayland-0") << QByteArray("offscreen");
        QTest::newRow("x11 session, nothing chosen") << false << QByteArray() << false << QByteArray()
                                                     << QByteArray();
        QTest::newRow("empty WAYLAND_DISPLAY") << false << QByteArray() << true << QByteArray() << QByteArray();
        QTest::newRow("x11 session, xcb chosen") << true << QByteArray("xcb") << false << QByteArray()
                                                 << QByteArray("xcb");
    }

    void platformChosenBeforeTheApplication()
    {
        QFETCH(bool, platformSet);
        QFETCH(QByteArray, platform);
        QFETCH(bool, waylandSet);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, expected);
        setOrUnset("QT_QPA_PLATFORM", platform, platformSet);
        setOrUnset("WAYLAND_DISPLAY", wayland, waylandSet);

        zd::common::preferXWayland();
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), expected);
        QCOMPARE(zd::common::onWaylandSession(), !wayland.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"
