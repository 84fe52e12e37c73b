#pragma once
#include "KeyPad.h"
#include "TargetTracker.h"
#include "XKeySender.h"

#include "common/ProgramFolders.h"

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QVector>
#include <QWidget>

class QLabel;
class QTimer;

namespace zd::teclado {

class KeepAbove;
class KeyButton;

// The on-screen keyboard window: 59 keys, the Caps Lock bar and the collapse
// button. It types into the window the operator was using, stays above every
// window without taking the focus, hides while the marker "notrs_teclado"
// exists in the program folder and can be dragged unless "nomove.txt" exists.
class FrmMain : public QWidget {
    Q_OBJECT
public:
    static constexpr int OnTopIntervalMs = 250;
    static constexpr int WindowIntervalMs = 500;
    static inline const QColor CapsOnColour{128, 255, 128};
    static inline const QColor CapsOffColour{255, 128, 128};
    static inline const QString Caption = QStringLiteral("TRS_Teclado");
    static inline const QString HiddenMarker = QStringLiteral("notrs_teclado");
    static inline const QString NoMoveMarker = QStringLiteral("nomove.txt");
    static inline const QString InvoicingProcess = QStringLiteral("zedorev");

    // programFolder holds the pictures and the markers. anotherInstanceRunning:
    // this copy ends itself when first shown. Key sending and window tracking
    // work on an X11 (xcb) display only, XWayland included; elsewhere keys
    // change modes only. On XWayland the window is unmanaged: the
    // compositor's window manager never activates it.
    explicit FrmMain(const QString &programFolder, bool anotherInstanceRunning = false,
                     QWidget *parent = nullptr);
    // Markers in folders.folder; skins from there when the shop put its own,
    // else from folders.shared.
    explicit FrmMain(const common::ProgramFolders &folders, bool anotherInstanceRunning = false,
                     QWidget *parent = nullptr);
    ~FrmMain() override;

    // The steps of the window's first show: the program starts hidden and
    // the first window tick shows it.
    void FormFirstShow();

    // The click on key `index` (a click arriving while one is handled is
    // handled right after it, in order).
    void BtnClick(int index);
    bool CapsLockControl(int action, int mode);
    void ActivateTarget();
    void CmdExpandClick();
    bool isCollapsed() const;

    const KeyPad &keyPad() const { return m_pad; }
    KeyButton *Btn(int index) const { return m_keys.value(index); }
    KeyButton *CmdExpand() const { return m_cmdExpand; }
    QWidget *ShapeCaps() const { return m_shapeCaps; }
    QColor shapeCapsColour() const;
    int HomeLeft() const { return m_homeLeft; }
    int HomeTop() const { return m_homeTop; }
    bool KeyBusy() const { return m_keyBusy; }
    TargetTracker::WindowId TargetWindow() const { return m_tracker.TargetWindow(); }
    bool canSendKeys() const { return m_sender && m_sender->isValid(); }
    QString programFolder() const { return m_folder; }

signals:
    // The program should end now (Shift then "Fix", or a second instance).
    void endRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void FormLoad();
    void LoadKeyPicture(const QString &name, int index);
    QPixmap loadPicture(const QString &name) const;
    void handleKey(int index);
    void showLayout();
    void colourShapeCaps(bool capsOn);
    void writeArrowCaptions();
    // Top of the stack, without activation.
    void raiseOnTop();
    void TmrOnTopTimer();
    void TmrWindowTimer();
    void keepOnScreen();
    QRect screenRect() const;
    bool markerExists(const QString &name) const;
    static void pumpEvents();

    QString m_folder;
    common::ProgramFolders m_folders;
    bool m_anotherInstance;
    KeyPad m_pad;
    std::unique_ptr<XKeySender> m_sender;
    // Only for the unmanaged window of a Wayland session.
    std::unique_ptr<KeepAbove> m_keepAbove;
    TargetTracker m_tracker;
    QVector<KeyButton *> m_keys;
    KeyButton *m_cmdExpand = nullptr;
    QWidget *m_shapeCaps = nullptr;
    QLabel *m_imageExit = nullptr;
    QTimer *m_tmrOnTop = nullptr;
    QTimer *m_tmrWindow = nullptr;
    QPixmap m_background;
    int m_homeLeft = 0;
    int m_homeTop = 0;
    bool m_keyBusy = false;
    QVector<int> m_queuedKeys;
    bool m_dragging = false;
    bool m_dragged = false;
    QPoint m_dragOffset;
};

} // namespace zd::teclado
