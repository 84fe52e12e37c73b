#include "dialogs_helpers.h"

#include "externo/dialogs/FrmMensaje.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace zd::test {

DialogFixture::DialogFixture()
{
    sql::EngineConfig engine;
    engine.programFolder = dir.path();
    state = std::make_unique<AppState>(engine);
    mainWindow = std::make_unique<QWidget>();
    mainWindow->setObjectName(QStringLiteral("FrmExterno"));
    mainWindow->resize(400, 300);
    mainWindow->show();
    state->MainWindow = mainWindow.get();
}

DialogFixture::~DialogFixture() = default;

void clickMessageButtonWhenShown(int index, std::function<void(FrmMensaje *)> whileOpen)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, index, whileOpen] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *msg = qobject_cast<FrmMensaje *>(w);
            if (!msg || !msg->isVisible())
                continue;
            timer->stop();
            timer->deleteLater();
            if (whileOpen)
                whileOpen(msg);
            QTest::mouseClick(msg->ChameleonBtn1(index), Qt::LeftButton);
            return;
        }
    });
    timer->start();
}

} // namespace zd::test
