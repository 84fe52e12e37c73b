// Keyboard latency: from a key touch on the pad to the character in a target
// window of another process, and characters per second for a 40-character
// string with accented letters. Needs an X11 display with a window manager;
// without $DISPLAY it runs itself under xvfb-run with openbox.
#include "BenchResult.h"
#include "teclado/FrmMain.h"
#include "teclado/KeyButton.h"
#include "teclado/KeyStrings.h"
#include "teclado/XKeySender.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

using namespace zd::teclado;

namespace {

// Collects what the target window reports, one key press per line.
class Target {
public:
    bool start()
    {
        m_p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_p.start(QStringLiteral(ZD_PROGRAM_DIR "/../tests/zd_teclado_target"), {QStringLiteral("zd-bench-target")});
        if (!m_p.waitForStarted(5000))
            return false;
        QDeadlineTimer deadline(8000);
        while (!deadline.hasExpired() && !m_focused)
            pump(50);
        return m_focused;
    }
    ~Target()
    {
        m_p.kill();
        m_p.waitForFinished(2000);
    }
    // Characters typed so far.
    int count() const { return m_typed.size(); }
    QString typed() const { return m_typed; }
    void pump(int ms)
    {
        m_p.waitForReadyRead(ms);
        m_all += m_p.readAllStandardOutput();
        qsizetype nl;
        while ((nl = m_all.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_all.left(nl));
            m_all.remove(0, nl + 1);
            if (line.startsWith(QLatin1String("t:")))
                m_typed += line.mid(2);
            else if (line == QLatin1String("focus"))
                m_focused = true;
        }
    }
    bool waitForCount(int n, int timeoutMs = 3000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (count() < n && !deadline.hasExpired())
            pump(1);
        return count() >= n;
    }

private:
    QProcess m_p;
    QByteArray m_all;
    QString m_typed;
    bool m_focused = false;
};

double percentile(QVector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[std::min<qsizetype>(v.size() - 1, qsizetype(p * (v.size() - 1) + 0.5))];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("ZD_BENCH_IN_X")) {
        qputenv("ZD_BENCH_IN_X", "1");
        const char *script = "openbox >/dev/null 2>&1 & sleep 1; exec \"$0\" \"$@\"";
        QVector<char *> args{const_cast<char *>("xvfb-run"), const_cast<char *>("-a"), const_cast<char *>("-s"),
                             const_cast<char *>("-screen 0 1280x1024x24"), const_cast<char *>("sh"),
                             const_cast<char *>("-c"), const_cast<char *>(script)};
        for (int i = 0; i < argc; ++i)
            args << argv[i];
        args << nullptr;
        execvp("xvfb-run", args.data());
        std::perror("xvfb-run");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    Target target;
    if (!target.start()) {
        std::fprintf(stderr, "the target window did not come up\n");
        return 1;
    }
    QTemporaryDir folder;
    FrmMain frm(folder.path());
    frm.FormFirstShow();
    QTest::qWait(FrmMain::WindowIntervalMs * 2 + 100); // shown and tracking
    if (!frm.isVisible() || !frm.canSendKeys()) {
        std::fprintf(stderr, "the keyboard is not up\n");
        return 1;
    }

    // Latency of key touches: letters, accented letters (keys borrowed for
    // them when the keyboard starts) and a digit.
    const int keys[] = {16, 17, 18, 26, 39, 47, 1, 2, 3, 48};
    QVector<double> latencies;
    double firstAccented = 0;
    for (int round = 0; round < 10; ++round) {
        for (int k : keys) {
            const int before = target.count();
            QElapsedTimer t;
            t.start();
            frm.Btn(k)->click();
            if (!target.waitForCount(before + 1)) {
                std::fprintf(stderr, "key %d did not arrive\n", k);
                return 1;
            }
            const double ms = t.nsecsElapsed() / 1e6;
            if (round == 0 && k == 26)
                firstAccented = ms;
            else
                latencies << ms;
            QTest::qWait(5); // let the keyboard's timers run between touches
        }
    }
    std::printf("key touch to character (%lld touches): median %.2f ms, p95 %.2f ms, max %.2f ms\n",
                qlonglong(latencies.size()), percentile(latencies, 0.5), percentile(latencies, 0.95),
                percentile(latencies, 1.0));
    zd::bench::result("key touch to character, median", percentile(latencies, 0.5), -1, "-");
    // The keyboard gives the pad's characters their keys when it starts, so
    // this touch changes no keymap and waits for no settle pause.
    std::printf("first touch of an accented key: %.2f ms\n", firstAccented);

    // A 40-character string with accented letters, typed by the sender.
    const QString text = QString::fromUtf8("Zoé paie 12,50€ à l'épicière: ñ ú è ç ²!").left(40);
    XKeySender sender;
    for (int run = 0; run < 2; ++run) {
        const int before = target.count();
        QElapsedTimer t;
        t.start();
        sender.sendKeys(KeyStrings::literal(text));
        if (!target.waitForCount(before + text.size(), 10000)) {
            std::fprintf(stderr, "the string did not arrive: %s\n", qPrintable(target.typed()));
            return 1;
        }
        const double s = t.nsecsElapsed() / 1e9;
        const bool exact = target.typed().right(text.size()) == text;
        std::printf("%lld-character string, %s: %.1f ms, %.0f characters/s, %s\n", qlonglong(text.size()),
                    run == 0 ? "first time" : "again", s * 1000, text.size() / s,
                    exact ? "arrived exactly" : "ARRIVED DIFFERENTLY");
    }
    return 0;
}
