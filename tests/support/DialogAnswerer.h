#pragma once
#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers the program's message windows the way an operator would: it
// watches the top-level windows and, when a message (FrmMensaje) or a
// message box is shown, records its text and clicks a button with QTest.
// Kind 1 messages get their one visible button; confirmations get
// "Accepter" unless cancel() was asked for.
class DialogAnswerer : public QObject {
    Q_OBJECT
public:
    explicit DialogAnswerer(QObject *parent = nullptr);

    void cancelConfirmations(bool cancel) { m_cancel = cancel; }
    // Messages seen so far, in order (message boxes included).
    const QStringList &messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    void poll();
    QTimer m_timer;
    QStringList m_messages;
    bool m_cancel = false;
};
