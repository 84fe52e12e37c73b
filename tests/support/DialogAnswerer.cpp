#include "DialogAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>

DialogAnswerer::DialogAnswerer(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::poll);
    m_timer.start();
}

void DialogAnswerer::poll()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (!w->isVisible())
            continue;
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            m_messages << box->text();
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                QTest::mouseClick(ok, Qt::LeftButton);
            else
                box->close();
            return;
        }
        auto *text = w->findChild<QLabel *>(QStringLiteral("LblMsg1"));
        if (!text)
            continue;
        QPushButton *button = nullptr;
        auto *only = w->findChild<QPushButton *>(QStringLiteral("ChameleonBtn1_0"));
        if (only && only->isVisible()) {
            button = only;
        } else {
            button = w->findChild<QPushButton *>(m_cancel ? QStringLiteral("ChameleonBtn1_2")
                                                          : QStringLiteral("ChameleonBtn1_1"));
        }
        if (button && button->isVisible()) {
            m_messages << text->text();
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
}
