#pragma once
#include "DialogBase.h"

class QLabel;

namespace zd {

// The loading window shown while the program starts, until the main window
// has loaded.
class FrmCarga : public DialogBase {
    Q_OBJECT
public:
    explicit FrmCarga(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;

    // Called right after show(): top-most, rounded frame, painted at once,
    // one Yield.
    void Activate();
    void Unload();
};

} // namespace zd
