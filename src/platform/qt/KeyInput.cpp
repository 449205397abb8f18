#include "platform/qt/KeyInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWindow>

#include "platform/qt/KeyboardFocus.h"
#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Backend.h"

namespace {

struct NamedKey
{
    int qtKey;
    bool keypad;  // matches only with Qt::KeypadModifier
    UINT virtualKey;
};

// Keys other than letters, digits and function keys. The punctuation keys are those of the
// US layout, shifted or not; keypad keys with Num Lock off fall through to the plain names.
constexpr NamedKey kNamedKeys[] = {
    {Qt::Key_Asterisk, true, VK_MULTIPLY},
    {Qt::Key_Plus, true, VK_ADD},
    {Qt::Key_Minus, true, VK_SUBTRACT},
    {Qt::Key_Period, true, VK_DECIMAL},
    {Qt::Key_Comma, true, VK_DECIMAL},
    {Qt::Key_Slash, true, VK_DIVIDE},
    {Qt::Key_Backspace, false, VK_BACK},
    {Qt::Key_Tab, false, VK_TAB},
    {Qt::Key_Backtab, false, VK_TAB},
    {Qt::Key_Clear, false, VK_CLEAR},
    {Qt::Key_Return, false, VK_RETURN},
    {Qt::Key_Enter, false, VK_RETURN},
    {Qt::Key_Shift, false, VK_SHIFT},
    {Qt::Key_Control, false, VK_CONTROL},
    {Qt::Key_Alt, false, VK_MENU},
    {Qt::Key_AltGr, false, VK_MENU},
    {Qt::Key_Pause, false, 0x13},
    {Qt::Key_CapsLock, false, 0x14},
    {Qt::Key_Escape, false, VK_ESCAPE},
    {Qt::Key_Space, false, VK_SPACE},
    {Qt::Key_PageUp, false, VK_PRIOR},
    {Qt::Key_PageDown, false, VK_NEXT},
    {Qt::Key_End, false, VK_END},
    {Qt::Key_Home, false, VK_HOME},
    {Qt::Key_Left, false, VK_LEFT},
    {Qt::Key_Up, false, VK_UP},
    {Qt::Key_Right, false, VK_RIGHT},
    {Qt::Key_Down, false, VK_DOWN},
    {Qt::Key_Print, false, 0x2C},
    {Qt::Key_Insert, false, VK_INSERT},
    {Qt::Key_Delete, false, VK_DELETE},
    {Qt::Key_Meta, false, 0x5B},
    {Qt::Key_Menu, false, 0x5D},
    {Qt::Key_NumLock, false, 0x90},
    {Qt::Key_ScrollLock, false, 0x91},
    {Qt::Key_ParenRight, false, '0'},
    {Qt::Key_Exclam, false, '1'},
    {Qt::Key_At, false, '2'},
    {Qt::Key_NumberSign, false, '3'},
    {Qt::Key_Dollar, false, '4'},
    {Qt::Key_Percent, false, '5'},
    {Qt::Key_AsciiCircum, false, '6'},
    {Qt::Key_Ampersand, false, '7'},
    {Qt::Key_Asterisk, false, '8'},
    {Qt::Key_ParenLeft, false, '9'},
    {Qt::Key_Semicolon, false, 0xBA},
    {Qt::Key_Colon, false, 0xBA},
    {Qt::Key_Equal, false, 0xBB},
    {Qt::Key_Plus, false, 0xBB},
    {Qt::Key_Comma, false, 0xBC},
    {Qt::Key_Less, false, 0xBC},
    {Qt::Key_Minus, false, 0xBD},
    {Qt::Key_Underscore, false, 0xBD},
    {Qt::Key_Period, false, 0xBE},
    {Qt::Key_Greater, false, 0xBE},
    {Qt::Key_Slash, false, 0xBF},
    {Qt::Key_Question, false, 0xBF},
    {Qt::Key_QuoteLeft, false, 0xC0},
    {Qt::Key_AsciiTilde, false, 0xC0},
    {Qt::Key_BracketLeft, false, 0xDB},
    {Qt::Key_BraceLeft, false, 0xDB},
    {Qt::Key_Backslash, false, 0xDC},
    {Qt::Key_Bar, false, 0xDC},
    {Qt::Key_BracketRight, false, 0xDD},
    {Qt::Key_BraceRight, false, 0xDD},
    {Qt::Key_Apostrophe, false, 0xDE},
    {Qt::Key_QuoteDbl, false, 0xDE},
};

constexpr UINT kFunctionKeys = 24;  // F1..F24 are 0x70..0x87

// Sees every key event of the application when Qt hands it to a window: before any widget,
// once per key, and also while a dialog or a menu has the focus.
class KeyFilter final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::ApplicationStateChange:
            // No key is held any more once the keys go to another application.
            if (static_cast<const QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)
                NativeKeyboardLost();
            return false;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return watched->isWindowType() && Deliver(*static_cast<QWindow*>(watched), *static_cast<const QKeyEvent*>(event));
        default:
            return false;
        }
    }

private:
    // Updates the key table and, when the window's focus is one of ours, sends the key message
    // there and keeps the event from Qt's own handling; true when it did.
    static bool Deliver(QWindow& window, const QKeyEvent& event)
    {
        const UINT virtualKey = VirtualKeyFromQt(event.key(), event.modifiers());
        if (virtualKey == 0)
            return false;
        const CNativeWindow::EventScope scope;
        return NativeKey(WndFromWidget(window.focusObject()), virtualKey, event.nativeScanCode(),
                         event.type() == QEvent::KeyPress, event.isAutoRepeat());
    }
};

}  // namespace

UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? UINT(VK_NUMPAD0 + (key - Qt::Key_0)) : UINT(key);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return UINT(key);
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + int(kFunctionKeys))
        return UINT(VK_F1 + (key - Qt::Key_F1));
    if (keypad) {
        for (const NamedKey& named : kNamedKeys) {
            if (named.keypad && named.qtKey == key)
                return named.virtualKey;
        }
    }
    for (const NamedKey& named : kNamedKeys) {
        if (!named.keypad && named.qtKey == key)
            return named.virtualKey;
    }
    return 0;
}

void InstallKeyInput()
{
    static QPointer<KeyFilter> filter;
    if (filter || !qApp)
        return;
    filter = new KeyFilter(qApp);
    qApp->installEventFilter(filter);
    // Also when the application is deactivated: the focus widget then becomes null.
    QObject::connect(qApp, &QApplication::focusChanged, filter,
                     [](QWidget*, QWidget* now) { NativeGameFocus(WndFromWidget(now) != nullptr); });
    InstallKeyboardFocusWatch();
}

namespace backend {

void SetFocus(CNativeWindow& window)
{
    window.setFocus(Qt::OtherFocusReason);
}

CWnd* GetFocusWnd()
{
    return WndFromWidget(QApplication::focusWidget());
}

}  // namespace backend
