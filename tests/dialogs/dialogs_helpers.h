#pragma once
#include "externo/state/AppState.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

class QWidget;

namespace zd {
class FrmMensaje;
}

namespace zd::test {

// A state of its own for each test, with a plain main window.
struct DialogFixture {
    DialogFixture();
    ~DialogFixture();
    QTemporaryDir dir;
    std::unique_ptr<AppState> state;
    std::unique_ptr<QWidget> mainWindow;
};

// As soon as a FrmMensaje is visible: calls `whileOpen` with it, then clicks
// its button `index` with the mouse. Returns at once; the clicking happens in
// the event loop the code under test runs.
void clickMessageButtonWhenShown(int index, std::function<void(FrmMensaje *)> whileOpen = {});

} // namespace zd::test
