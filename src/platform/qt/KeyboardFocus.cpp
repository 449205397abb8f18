#include "platform/qt/KeyboardFocus.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>

#include "platform/wnd/Backend.h"

namespace {

// Deep enough for a child of a child of ours, or for the window manager's frames around a
// window under the pointer.
constexpr int kWindowDepth = 8;
// An X keymap has one bit for each of the 256 keycodes, which are the native scan codes.
constexpr std::size_t kKeycodes = 256;

bool IsOurXWindow(xcb_window_t window)
{
    const QWindowList windows = QGuiApplication::allWindows();
    for (const QWindow* const ours : windows) {
        if (ours->handle() && ours->winId() == window)
            return true;
    }
    return false;
}

template <typename Reply>
struct Freed
{
    Reply* reply;
    ~Freed() { std::free(reply); }
};

// Watches the X server's focus events on our windows. Each one asks for a check of where the
// keyboard goes; the check runs from the event loop, after the key events that Qt read
// before the focus event have reached the key table, so that none of them is applied after it.
class XFocusWatch final : public QObject, public QAbstractNativeEventFilter
{
public:
    XFocusWatch(QObject* parent, xcb_connection_t* connection) : QObject(parent), m_connection(connection) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* const event = static_cast<const xcb_generic_event_t*>(message);
        const std::uint8_t kind = event->response_type & 0x7F;
        if (kind != XCB_FOCUS_IN && kind != XCB_FOCUS_OUT)
            return false;
        const std::uint8_t mode = reinterpret_cast<const xcb_focus_in_event_t*>(event)->mode;
        // A grab takes the keyboard without moving the focus, so the focus window cannot tell it.
        // Ours are the menus' popups; any other grab that takes the focus from us is another
        // client's. Focus that comes to us, other than while a grab lasts, ends it.
        if (mode == XCB_NOTIFY_MODE_GRAB)
            m_foreignGrab = kind == XCB_FOCUS_OUT && !QApplication::activePopupWidget();
        else if (kind == XCB_FOCUS_IN && mode != XCB_NOTIFY_MODE_WHILE_GRABBED)
            m_foreignGrab = false;
        if (!m_checkPending) {
            m_checkPending = true;
            QMetaObject::invokeMethod(this, [this] { Check(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    // Every key is released while the keyboard goes elsewhere; while it comes to us only the
    // keys that are down stay held.
    void Check()
    {
        m_checkPending = false;
        if (m_foreignGrab || !KeyboardComesToUs()) {
            NativeKeyboardLost();
            return;
        }
        const Freed<xcb_query_keymap_reply_t> keymap{
            xcb_query_keymap_reply(m_connection, xcb_query_keymap(m_connection), nullptr)};
        if (keymap.reply)
            NativeKeysDown(keymap.reply->keys, kKeycodes);
        else
            NativeKeyboardLost();
    }

    bool KeyboardComesToUs() const
    {
        const Freed<xcb_get_input_focus_reply_t> focus{
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)};
        if (!focus.reply || focus.reply->focus == XCB_NONE)
            return false;
        if (focus.reply->focus == XCB_INPUT_FOCUS_POINTER_ROOT)
            return UnderPointerIsOurs();
        return InsideOurs(focus.reply->focus);
    }

    // The focus window, or one of its ancestors, is ours.
    bool InsideOurs(xcb_window_t window) const
    {
        for (int depth = 0; depth < kWindowDepth; ++depth) {
            if (IsOurXWindow(window))
                return true;
            const Freed<xcb_query_tree_reply_t> tree{
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr)};
            if (!tree.reply || tree.reply->parent == XCB_NONE || tree.reply->parent == tree.reply->root)
                return false;
            window = tree.reply->parent;
        }
        return false;
    }

    // With the focus on the pointer's root, keys go to the window under the pointer.
    bool UnderPointerIsOurs() const
    {
        const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        xcb_window_t window = screens.rem > 0 ? screens.data->root : XCB_NONE;
        for (int depth = 0; depth < kWindowDepth && window != XCB_NONE; ++depth) {
            const Freed<xcb_query_pointer_reply_t> pointer{
                xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, window), nullptr)};
            if (!pointer.reply)
                return false;
            window = pointer.reply->child;
            if (window != XCB_NONE && IsOurXWindow(window))
                return true;
        }
        return false;
    }

    xcb_connection_t* const m_connection;
    bool m_foreignGrab = false;
    bool m_checkPending = false;
};

// A window of one of our widgets: the frame, a dialog, a menu's popup.
bool IsOurWindow(const QWindow* window)
{
    if (!window)
        return false;
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (const QWidget* const widget : widgets) {
        if (widget->windowHandle() == window)
            return true;
    }
    return false;
}

}  // namespace

void InstallKeyboardFocusWatch()
{
    static QPointer<QObject> installed;
    if (installed || !qApp)
        return;
    const auto* const x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* const connection = x11 ? x11->connection() : nullptr) {
        auto* const watch = new XFocusWatch(qApp, connection);
        qApp->installNativeEventFilter(watch);
        installed = watch;
        return;
    }
    // Without the server to ask, a focus that comes back starts from all keys up.
    installed = new QObject(qApp);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, installed, [](QWindow* window) {
        if (!IsOurWindow(window))
            NativeKeyboardLost();
    });
}
