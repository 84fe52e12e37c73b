#include "x11_helpers.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTest>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

// Xlib after every Qt header: it defines Bool, Status, None.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace zd::teclado::test {

bool XSession::start()
{
    // -displayfd 1: Xvfb picks a free display and writes its number to us.
    m_xvfb.setProgram(QStringLiteral("Xvfb"));
    m_xvfb.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                         QStringLiteral("0"),
                         QStringLiteral("%1x%2x24").arg(ScreenWidth).arg(ScreenHeight),
                         QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    m_xvfb.setProcessChannelMode(QProcess::SeparateChannels);
    m_xvfb.start();
    if (!m_xvfb.waitForStarted(5000)) {
        m_error = QStringLiteral("Xvfb did not start");
        return false;
    }
    QByteArray number;
    QDeadlineTimer deadline(10000);
    while (!number.contains('\n') && !deadline.hasExpired()) {
        m_xvfb.waitForReadyRead(200);
        number += m_xvfb.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        m_error = QStringLiteral("Xvfb gave no display: ") + QString::fromLocal8Bit(m_xvfb.readAllStandardError());
        return false;
    }
    qputenv("DISPLAY", ":" + number.trimmed());
    qputenv("QT_QPA_PLATFORM", "xcb");
    static QTemporaryDir runtime; // the single-instance locks of this session
    m_runtimeDir = runtime.path();
    QFile::setPermissions(m_runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", m_runtimeDir.toLocal8Bit());

    m_wm.setProgram(QStringLiteral("openbox"));
    m_wm.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_wm.setStandardOutputFile(QProcess::nullDevice());
    m_wm.start();
    deadline.setRemainingTime(10000);
    while (!deadline.hasExpired()) {
        if (run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                .contains(QLatin1String("window id")))
            return true;
        QThread::msleep(50);
    }
    m_error = QStringLiteral("openbox did not come up");
    return false;
}

void XSession::stop()
{
    for (QProcess *p : {&m_wm, &m_xvfb}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished(1000);
        }
    }
}

int runX11Test(int argc, char *argv[], QObject *(*makeTest)())
{
    XSession session;
    if (!session.start()) {
        std::fprintf(stderr, "cannot start the X session: %s\n", qPrintable(session.error()));
        return 1;
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        app.setQuitOnLastWindowClosed(false);
        std::unique_ptr<QObject> test(makeTest());
        result = QTest::qExec(test.get(), argc, argv);
    }
    session.stop();
    return result;
}

QString run(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QList<quint64> visibleWindows(const QString &title, qint64 pid)
{
    QStringList args{QStringLiteral("search"), QStringLiteral("--onlyvisible")};
    if (pid)
        args << QStringLiteral("--pid") << QString::number(pid);
    args << QStringLiteral("--name") << QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    QList<quint64> ids;
    for (const QString &line : run(QStringLiteral("xdotool"), args).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        ids << line.trimmed().toULongLong();
    return ids;
}

QRect windowGeometry(quint64 window)
{
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    auto field = [&](const QString &name) {
        const int at = info.indexOf(name);
        if (at < 0)
            return -100000;
        return info.mid(at + name.size()).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
    };
    return {field(QStringLiteral("Absolute upper-left X:")), field(QStringLiteral("Absolute upper-left Y:")),
            field(QStringLiteral("Width:")), field(QStringLiteral("Height:"))};
}

quint64 activeWindow()
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed().toULongLong();
}

void click(const QPoint &global)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(global.x()),
                                    QString::number(global.y()), QStringLiteral("click"), QStringLiteral("1")});
}

void drag(const QPoint &from, const QPoint &to)
{
    QStringList args{QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
                     QStringLiteral("mousedown"), QStringLiteral("1")};
    // A few steps, as a finger moves.
    for (int i = 1; i <= 4; ++i) {
        const QPoint p = from + (to - from) * i / 4;
        args << QStringLiteral("sleep") << QStringLiteral("0.03") << QStringLiteral("mousemove")
             << QString::number(p.x()) << QString::number(p.y());
    }
    args << QStringLiteral("sleep") << QStringLiteral("0.05") << QStringLiteral("mouseup") << QStringLiteral("1");
    run(QStringLiteral("xdotool"), args);
}

void pressKey(const QString &keysym)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), keysym});
}

bool touch(const QList<QPoint> &points, int intervalMs)
{
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return false;
    QDeadlineTimer next(0);
    for (const QPoint &p : points) {
        while (!next.hasExpired())
            QThread::usleep(200);
        next.setRemainingTime(intervalMs, Qt::PreciseTimer);
        XTestFakeMotionEvent(dpy, -1, p.x(), p.y(), CurrentTime);
        XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
        XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
        XFlush(dpy);
    }
    XSync(dpy, False);
    XCloseDisplay(dpy);
    return true;
}

QString targetProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/zd_teclado_target");
}

TargetWindow::TargetWindow(const QString &title) : m_title(title)
{
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { read(); });
}

TargetWindow::~TargetWindow()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool TargetWindow::start()
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(targetProgram(), {m_title});
    if (!m_process.waitForStarted(5000))
        return false;
    QDeadlineTimer deadline(8000);
    while (!deadline.hasExpired()) {
        m_process.waitForReadyRead(50);
        read();
        const QList<quint64> ids = visibleWindows(m_title, m_process.processId());
        if (!ids.isEmpty() && activeWindow() == ids.front()) {
            m_window = ids.front();
            clear();
            return true;
        }
    }
    return false;
}

void TargetWindow::read()
{
    m_partial += m_process.readAllStandardOutput();
    qsizetype nl;
    while ((nl = m_partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_partial.left(nl));
        m_partial.remove(0, nl + 1);
        if (line.startsWith(QLatin1String("t:")) || line.startsWith(QLatin1String("k:")))
            m_typed += line.mid(2);
    }
}

QString TargetWindow::typed()
{
    read();
    return m_typed;
}

bool TargetWindow::waitForTyped(const QString &expected, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (typed() == expected)
            return true;
        if (!expected.startsWith(m_typed))
            return false; // something else arrived
        QTest::qWait(5);
    }
    return typed() == expected;
}

void TargetWindow::clear()
{
    read();
    m_typed.clear();
}

bool TargetWindow::activate()
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                    QString::number(m_window)});
    return activeWindow() == m_window;
}

} // namespace zd::teclado::test
