#include "FrmMain.h"

#include "KeepAbove.h"
#include "KeyButton.h"
#include "KeyLayouts.h"

#include "common/Pictures.h"
#include "common/Processes.h"
#include "common/QtPlatform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTimer>

namespace zd::teclado {

namespace {

QFont captionFont(int points)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(points);
    f.setBold(true);
    return f;
}

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// On XWayland the compositor's window manager activates a window it manages
// when it is touched (a wlroots compositor ignores the request to hand the
// focus back), so the keys would go to the keyboard itself: there the window
// is unmanaged (override-redirect). On a plain X11 session it stays a managed
// tool window that does not take the focus.
bool unmanagedWindow()
{
    return onX11() && common::onWaylandSession();
}

Qt::WindowFlags keyboardWindowFlags()
{
    Qt::WindowFlags flags =
        Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
    if (unmanagedWindow())
        flags |= Qt::X11BypassWindowManagerHint;
    return flags;
}

} // namespace

FrmMain::FrmMain(const QString &programFolder, bool anotherInstanceRunning, QWidget *parent)
    : FrmMain(common::ProgramFolders::single(programFolder), anotherInstanceRunning, parent)
{
}

FrmMain::FrmMain(const common::ProgramFolders &folders, bool anotherInstanceRunning, QWidget *parent)
    : QWidget(parent, keyboardWindowFlags())
    , m_folder(folders.folder)
    , m_folders(folders)
    , m_anotherInstance(anotherInstanceRunning)
    // Only a real X11 session gets keys: an offscreen run must never type
    // into whatever display $DISPLAY happens to name.
    , m_sender(onX11() ? std::make_unique<XKeySender>() : nullptr)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(Caption);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    resize(KeyLayouts::windowSizePixels());
    // Every character of the pad gets its key before the first touch: no
    // keymap change while the operator types.
    if (canSendKeys())
        m_sender->prepare(KeyLayouts::LowercaseKeys() + KeyLayouts::UppercaseKeys() + KeyLayouts::SymbolKeys());

    // The collapse button lies under the keys' left edge, as drawn.
    m_cmdExpand = new KeyButton(this);
    m_cmdExpand->setObjectName(QStringLiteral("CmdExpand"));
    m_cmdExpand->setGeometry(KeyLayouts::cmdExpandRectPixels());
    connect(m_cmdExpand, &KeyButton::clicked, this, &FrmMain::CmdExpandClick);

    m_keys.resize(KeyLayouts::KeyCount);
    for (int i = 0; i < KeyLayouts::KeyCount; ++i) {
        auto *key = new KeyButton(this);
        key->setObjectName(QStringLiteral("Btn_%1").arg(i));
        key->setGeometry(KeyLayouts::keyRectPixels(i));
        if (!KeyLayouts::isArrowCaption(i)) {
            key->setText(KeyLayouts::fixedCaption(i));
            key->setFont(captionFont(12));
        }
        connect(key, &KeyButton::clicked, this, [this, i] { BtnClick(i); });
        m_keys[i] = key;
    }

    m_shapeCaps = new QWidget(this);
    m_shapeCaps->setObjectName(QStringLiteral("ShapeCaps"));
    m_shapeCaps->setGeometry(KeyLayouts::shapeCapsRectPixels());
    m_shapeCaps->setAutoFillBackground(true);
    colourShapeCaps(false);

    m_imageExit = new QLabel(this);
    m_imageExit->setObjectName(QStringLiteral("ImageExit"));

    m_tmrOnTop = new QTimer(this);
    m_tmrOnTop->setObjectName(QStringLiteral("TmrOnTop"));
    m_tmrOnTop->setInterval(OnTopIntervalMs);
    connect(m_tmrOnTop, &QTimer::timeout, this, &FrmMain::TmrOnTopTimer);
    m_tmrWindow = new QTimer(this);
    m_tmrWindow->setObjectName(QStringLiteral("TmrWindow"));
    m_tmrWindow->setInterval(WindowIntervalMs);
    connect(m_tmrWindow, &QTimer::timeout, this, &FrmMain::TmrWindowTimer);

    FormLoad();
}

FrmMain::~FrmMain() = default;

QPixmap FrmMain::loadPicture(const QString &name) const
{
    const QString path = m_folders.picture(name);
    if (!name.toLower().contains(QLatin1String(".png")))
        return QPixmap(path);
    // A missing or unreadable picture leaves the key or background plain:
    // the keyboard must still start and type.
    try {
        int width = -1, height = -1;
        return common::LoadGdiPicture(path, width, height, Qt::white);
    } catch (const common::PictureError &) {
        return QPixmap();
    }
}

void FrmMain::LoadKeyPicture(const QString &name, int index)
{
    if (KeyButton *key = m_keys.value(index))
        key->setPicture(loadPicture(name));
}

void FrmMain::FormLoad()
{
    m_background = loadPicture(QStringLiteral("fondoa.png"));
    for (int i = 0; i < KeyLayouts::KeyCount; ++i)
        LoadKeyPicture(KeyLayouts::pictureOf(i), i);
    m_cmdExpand->setPicture(loadPicture(QStringLiteral("nokeyboard.png")));
    m_imageExit->hide();

    // Home: the full keyboard against the right and bottom screen edges.
    const QRect screen = screenRect();
    m_homeLeft = screen.x() + screen.width() - width();
    m_homeTop = screen.y() + screen.height() - height();
    move(m_homeLeft, m_homeTop);

    m_pad = KeyPad();
    showLayout();
}

void FrmMain::FormFirstShow()
{
    if (m_anotherInstance) {
        emit endRequested();
        return;
    }
    if (unmanagedWindow())
        m_keepAbove = std::make_unique<KeepAbove>(winId());
    raiseOnTop();
    colourShapeCaps(CapsLockControl(-1, 0));
    writeArrowCaptions();
    m_tmrOnTop->start();
    m_tmrWindow->start();
}

void FrmMain::writeArrowCaptions()
{
    for (int i = 0; i < KeyLayouts::KeyCount; ++i) {
        if (KeyLayouts::isArrowCaption(i)) {
            m_keys[i]->setText(KeyLayouts::fixedCaption(i));
            m_keys[i]->setFont(captionFont(18));
        }
    }
}

void FrmMain::showLayout()
{
    const QString &table = KeyLayouts::table(m_pad.layout());
    const QFont font = captionFont(18);
    for (int i = 0; i < KeyLayouts::TableSize; ++i) {
        const int key = KeyLayouts::TableBase + i;
        if (!KeyLayouts::isCharacterKey(key))
            continue;
        m_keys[key]->setText(table.mid(i, 1));
        m_keys[key]->setFont(font);
    }
}

void FrmMain::colourShapeCaps(bool capsOn)
{
    QPalette pal = m_shapeCaps->palette();
    pal.setColor(QPalette::Window, capsOn ? CapsOnColour : CapsOffColour);
    m_shapeCaps->setPalette(pal);
}

QColor FrmMain::shapeCapsColour() const
{
    return m_shapeCaps->palette().color(QPalette::Window);
}

void FrmMain::pumpEvents()
{
    QThread::msleep(1);
    QCoreApplication::processEvents();
    QThread::msleep(1);
}

void FrmMain::ActivateTarget()
{
    m_tracker.activate(m_tracker.TargetWindow());
    pumpEvents();
}

bool FrmMain::CapsLockControl(int action, int mode)
{
    XKeySender *sender = canSendKeys() ? m_sender.get() : nullptr;
    if (action != -1 && sender) {
        const bool on = sender->capsLockOn();
        if ((mode == 1 && !on) || (mode == 2 && on) || mode == 3)
            sender->toggleCapsLock();
    }
    const bool on = sender && sender->capsLockOn();
    m_pad.mirrorCaps(on);
    showLayout();
    pumpEvents();
    return on;
}

void FrmMain::BtnClick(int index)
{
    // ActivateTarget and CapsLockControl process pending events, so a click
    // can arrive in the middle of another: it waits for its turn.
    if (m_keyBusy) {
        m_queuedKeys.append(index);
        return;
    }
    m_keyBusy = true;
    handleKey(index);
    while (!m_queuedKeys.isEmpty())
        handleKey(m_queuedKeys.takeFirst());
    m_keyBusy = false;
}

void FrmMain::handleKey(int index)
{
    ActivateTarget();
    if (index == 52) {
        const bool wasOn = CapsLockControl(-1, 0);
        colourShapeCaps(CapsLockControl(0, wasOn ? 2 : 1));
        return;
    }
    const KeyAction action = m_pad.press(index);
    switch (action.kind) {
    case KeyAction::Kind::Keys:
        if (canSendKeys())
            m_sender->sendKeys(action.keys);
        break;
    case KeyAction::Kind::Backspace:
        if (canSendKeys())
            m_sender->tapBackspace();
        break;
    case KeyAction::Kind::EndPrograms:
        common::KillProcessByName(InvoicingProcess);
        emit endRequested();
        break;
    case KeyAction::Kind::ToggleCaps:
    case KeyAction::Kind::None:
        break;
    }
    showLayout();
}

void FrmMain::raiseOnTop()
{
    if (m_keepAbove)
        m_keepAbove->raise();
    else
        raise();
}

void FrmMain::TmrOnTopTimer()
{
    if (isVisible())
        raiseOnTop();
    if (m_keyBusy)
        return;
    const bool on = canSendKeys() && m_sender->capsLockOn();
    colourShapeCaps(on);
    const auto before = m_pad.layout();
    m_pad.mirrorCaps(on);
    if (m_pad.layout() != before)
        showLayout();
}

void FrmMain::TmrWindowTimer()
{
    if (markerExists(HiddenMarker)) {
        if (isVisible())
            hide();
        return;
    }
    if (!isVisible())
        show();
    m_tracker.track(Caption);
}

bool FrmMain::isCollapsed() const
{
    return m_cmdExpand->width() >= width();
}

void FrmMain::CmdExpandClick()
{
    const QRect screen = screenRect();
    if (isCollapsed()) {
        setGeometry(m_homeLeft, m_homeTop, screen.x() + screen.width() - m_homeLeft, height());
        m_cmdExpand->setPicture(loadPicture(QStringLiteral("nokeyboard.png")));
    } else {
        const int strip = m_cmdExpand->width();
        setGeometry(screen.x() + screen.width() - strip, m_homeTop, strip, height());
        m_cmdExpand->setPicture(loadPicture(QStringLiteral("keyboard.png")));
    }
    m_imageExit->hide();
}

QRect FrmMain::screenRect() const
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

bool FrmMain::markerExists(const QString &name) const
{
    return QFileInfo::exists(m_folder + QLatin1Char('/') + name);
}

void FrmMain::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(58, 64, 74));
    if (!m_background.isNull())
        p.drawPixmap(0, 0, m_background);
}

void FrmMain::mousePressEvent(QMouseEvent *event)
{
    m_dragging = event->button() == Qt::LeftButton && !markerExists(NoMoveMarker);
    m_dragged = false;
    // The grip point inside the window: taken from the event itself, since
    // pos() can lag behind the window manager's placement.
    m_dragOffset = event->position().toPoint();
}

void FrmMain::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton) || markerExists(NoMoveMarker))
        return;
    move(event->globalPosition().toPoint() - m_dragOffset);
    m_dragged = true;
}

void FrmMain::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_dragged)
        keepOnScreen();
    m_dragging = false;
    m_dragged = false;
}

void FrmMain::keepOnScreen()
{
    const QRect screen = screenRect();
    int left = x();
    int top = y();
    if (top < screen.y())
        top = screen.y();
    if (top + height() > screen.y() + screen.height())
        top = m_homeTop;
    if (left < screen.x())
        left = screen.x();
    if (left + width() > screen.x() + screen.width())
        left = m_homeLeft;
    if (left != x() || top != y())
        move(left, top);
}

} // namespace zd::teclado
