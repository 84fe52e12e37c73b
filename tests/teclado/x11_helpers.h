#pragma once
// Helpers of the keyboard's X11 tests: a private X server with a window
// manager, the target window process, and window queries through xdotool.
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

namespace zd::teclado::test {

// Xvfb with openbox on a free display; DISPLAY, XDG_RUNTIME_DIR and the Qt
// platform are set for this process and its children.
class XSession {
public:
    static constexpr int ScreenWidth = 1280;
    static constexpr int ScreenHeight = 1024;
    bool start();
    void stop();
    ~XSession() { stop(); }
    QString error() const { return m_error; }

private:
    QProcess m_xvfb;
    QProcess m_wm;
    QString m_error;
    QString m_runtimeDir;
};

// Runs `testObject` inside a fresh X session (QApplication lives inside it).
int runX11Test(int argc, char *argv[], QObject *(*makeTest)());

// The window the keyboard types into, in its own process. Every key press it
// receives is one line: "t:<text>" or "k:<+^>{NAME}".
class TargetWindow {
public:
    explicit TargetWindow(const QString &title = QStringLiteral("zd-target"));
    ~TargetWindow();
    bool start();
    QString title() const { return m_title; }
    quint64 windowId() const { return m_window; }
    // What arrived since the last clear(): texts as typed, keys as "{NAME}".
    QString typed();
    bool waitForTyped(const QString &expected, int timeoutMs = 3000);
    void clear();
    bool activate(); // makes it the active window (xdotool, synchronously)

private:
    void read();
    QString m_title;
    QProcess m_process;
    QString m_typed;
    QByteArray m_partial;
    quint64 m_window = 0;
};

// Runs a program and returns its standard output (empty on failure).
QString run(const QString &program, const QStringList &args, int timeoutMs = 20000);
// Visible windows with this exact title (optionally of one process).
QList<quint64> visibleWindows(const QString &title, qint64 pid = 0);
QRect windowGeometry(quint64 window);
quint64 activeWindow();
// Real pointer actions through XTest (xdotool).
void click(const QPoint &global);
void drag(const QPoint &from, const QPoint &to);
void pressKey(const QString &keysym);
// Real clicks through XTest at these points, one every `intervalMs` (a finger
// touching keys at that pace); returns when the last one was sent.
bool touch(const QList<QPoint> &points, int intervalMs);
// The path of the target program (next to the test executables).
QString targetProgram();

} // namespace zd::teclado::test
