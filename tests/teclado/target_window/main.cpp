// A window to type into, for the keyboard's tests and benchmark. It writes one
// line per key press to stdout: the typed text, or the key's name in braces
// with "+" (Shift) and "^" (Ctrl) before it, as in the keyboard's key strings.
// Its title is the first argument (default "zd-target"). It prints "focus"
// each time it gains the focus.
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <cstdio>

namespace {

QString keyName(int key)
{
    switch (key) {
    case Qt::Key_Tab: return QStringLiteral("TAB");
    case Qt::Key_Backtab: return QStringLiteral("TAB");
    case Qt::Key_Return: case Qt::Key_Enter: return QStringLiteral("ENTER");
    case Qt::Key_Backspace: return QStringLiteral("BACKSPACE");
    case Qt::Key_Delete: return QStringLiteral("DELETE");
    case Qt::Key_Up: return QStringLiteral("UP");
    case Qt::Key_Down: return QStringLiteral("DOWN");
    case Qt::Key_Left: return QStringLiteral("LEFT");
    case Qt::Key_Right: return QStringLiteral("RIGHT");
    case Qt::Key_Home: return QStringLiteral("HOME");
    case Qt::Key_End: return QStringLiteral("END");
    case Qt::Key_Escape: return QStringLiteral("ESC");
    default: return QStringLiteral("KEY%1").arg(key, 0, 16);
    }
}

class Target : public QWidget {
protected:
    bool event(QEvent *e) override
    {
        // Tab and Backtab would move the focus instead of reaching keyPressEvent.
        if (e->type() == QEvent::KeyPress) {
            keyPress(static_cast<QKeyEvent *>(e));
            return true;
        }
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::WindowActivate)
            emitLine(QStringLiteral("focus"));
        return QWidget::event(e);
    }

private:
    void keyPress(QKeyEvent *e)
    {
        const int key = e->key();
        if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt
            || key == Qt::Key_CapsLock || key == Qt::Key_Meta)
            return;
        const QString text = e->text();
        const bool printable = !text.isEmpty() && text.at(0).isPrint();
        if (printable && !(e->modifiers() & Qt::ControlModifier)) {
            emitLine(QStringLiteral("t:") + text);
            return;
        }
        QString line;
        if (e->modifiers() & Qt::ShiftModifier || key == Qt::Key_Backtab)
            line += QLatin1Char('+');
        if (e->modifiers() & Qt::ControlModifier)
            line += QLatin1Char('^');
        emitLine(QStringLiteral("k:") + line + QLatin1Char('{') + keyName(key) + QLatin1Char('}'));
    }

    static void emitLine(const QString &line)
    {
        std::fputs(line.toUtf8().constData(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Target w;
    w.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zd-target"));
    w.setFocusPolicy(Qt::StrongFocus);
    w.setGeometry(80, 80, 420, 260);
    w.show();
    w.activateWindow();
    return app.exec();
}
