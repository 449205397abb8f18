// libFuzzer target: the whole program on Qt's offscreen platform, driven through the key and
// focus events Qt delivers. The input bytes choose a sequence of key presses, releases and
// auto-repeats (keypad keys pressed and released in either Num Lock state), focus moves
// between the frame, an open help dialog and a window that is not ours (standing for another
// client: keys never reach us while it has the focus), the help dialog opened (modal, so the
// rest of the sequence runs inside its loop) and closed, resizes, and the keymap a backend
// reads from its server. After every event the key table must hold exactly the keys that an
// independent model of the sequence leaves down, and the frame must still take the focus.
// A broken rule aborts, so that libFuzzer keeps the input.
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/ArenaApp.h"
#include "app/MainFrame.h"
#include "core/RandomRange.h"
#include "platform/qt/KeyInput.h"
#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Backend.h"
#include "platform/wnd/Keyboard.h"

namespace {

// One physical key: its scan code and what Qt reports for it in either state of Num Lock.
struct PhysicalKey
{
    std::uint32_t scanCode;
    Qt::Key keys[2];
    bool keypad;
    UINT virtualKeys[2];
};

// The game's keys (Escape, which ends the program, and Alt, which opens the menus, left
// out), the keypad in both Num Lock states, and a key without a scan code, as synthetic
// events have.
constexpr PhysicalKey kKeys[] = {
    {111, {Qt::Key_Up, Qt::Key_Up}, false, {VK_UP, VK_UP}},
    {116, {Qt::Key_Down, Qt::Key_Down}, false, {VK_DOWN, VK_DOWN}},
    {113, {Qt::Key_Left, Qt::Key_Left}, false, {VK_LEFT, VK_LEFT}},
    {114, {Qt::Key_Right, Qt::Key_Right}, false, {VK_RIGHT, VK_RIGHT}},
    {36, {Qt::Key_Return, Qt::Key_Return}, false, {VK_RETURN, VK_RETURN}},
    {104, {Qt::Key_Enter, Qt::Key_Enter}, true, {VK_RETURN, VK_RETURN}},
    {65, {Qt::Key_Space, Qt::Key_Space}, false, {VK_SPACE, VK_SPACE}},
    {38, {Qt::Key_A, Qt::Key_A}, false, {'A', 'A'}},
    {25, {Qt::Key_W, Qt::Key_W}, false, {'W', 'W'}},
    {46, {Qt::Key_L, Qt::Key_L}, false, {'L', 'L'}},
    {33, {Qt::Key_P, Qt::Key_P}, false, {'P', 'P'}},
    {67, {Qt::Key_F1, Qt::Key_F1}, false, {VK_F1, VK_F1}},
    {70, {Qt::Key_F4, Qt::Key_F4}, false, {VK_F4, VK_F4}},
    {112, {Qt::Key_PageUp, Qt::Key_PageUp}, false, {VK_PRIOR, VK_PRIOR}},
    {80, {Qt::Key_8, Qt::Key_Up}, true, {VK_NUMPAD8, VK_UP}},
    {84, {Qt::Key_5, Qt::Key_Clear}, true, {VK_NUMPAD5, VK_CLEAR}},
    {86, {Qt::Key_Plus, Qt::Key_Plus}, true, {VK_ADD, VK_ADD}},
    {0, {Qt::Key_D, Qt::Key_D}, false, {'D', 'D'}},
};
constexpr std::size_t kKeyCount = std::size(kKeys);

// A window of the process that is none of the game's, standing for another client's.
QWindow* g_foreign = nullptr;

// The key table as the sequence leaves it, kept apart from the real one: which virtual keys
// are down, and which virtual key each physical key pressed.
struct Model
{
    std::array<bool, 256> down{};
    std::array<UINT, kKeyCount> pressedBy{};
    std::array<bool, kKeyCount> physical{};
};

struct Session
{
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    Model model;
    CWnd* frame = nullptr;
    QWindow* foreign = nullptr;
    QDialog* dialog = nullptr;

    unsigned Pick(unsigned n) { return (at < size ? data[at++] : 0u) % n; }
    bool More() const { return at < size; }
};

[[noreturn]] void Broken(const char* what)
{
    std::fprintf(stderr, "key table rule broken: %s\n", what);
    std::abort();
}

QWindow* FrameWindow(const Session& session)
{
    return session.frame->m_native->windowHandle();
}

bool OursHasTheKeyboard(const Session& session)
{
    QWindow* const focus = QGuiApplication::focusWindow();
    return focus && focus != session.foreign;
}

void Settle()
{
    QCoreApplication::processEvents();
}

void Check(const Session& session)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    for (std::size_t key = 0; key < 256; ++key) {
        if ((keys[key] == 0x80) != session.model.down[key]) {
            std::fprintf(stderr, "virtual key 0x%02zX is %s in the table\n", key, keys[key] ? "down" : "up");
            Broken("the table differs from the keys the sequence leaves down");
        }
    }
    if (!session.frame->m_native || !session.frame->m_native->isVisible())
        Broken("the frame is gone");
}

void SendKey(QWindow* window, const PhysicalKey& key, int variant, bool press, bool autoRepeat)
{
    const Qt::KeyboardModifiers modifiers = key.keypad ? Qt::KeypadModifier : Qt::NoModifier;
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key.keys[variant], modifiers, key.scanCode, 0, 0,
                    QString(), autoRepeat);
    QCoreApplication::sendEvent(window, &event);
}

void Press(Session& session, std::size_t index, int variant)
{
    const PhysicalKey& key = kKeys[index];
    Model& model = session.model;
    const bool held = model.physical[index];
    model.physical[index] = true;
    if (!OursHasTheKeyboard(session))
        return;
    // A held key repeats.
    SendKey(QGuiApplication::focusWindow(), key, variant, true, held);
    if (held)
        return;
    model.down[key.virtualKeys[variant]] = true;
    if (key.scanCode != 0)
        model.pressedBy[index] = key.virtualKeys[variant];
}

void Release(Session& session, std::size_t index, int variant)
{
    const PhysicalKey& key = kKeys[index];
    Model& model = session.model;
    if (!model.physical[index])
        return;
    model.physical[index] = false;
    if (!OursHasTheKeyboard(session))
        return;
    SendKey(QGuiApplication::focusWindow(), key, variant, false, false);
    const UINT released = model.pressedBy[index] != 0 ? model.pressedBy[index] : key.virtualKeys[variant];
    model.pressedBy[index] = 0;
    model.down[released] = false;
}

// X reports a held key as a release and a press, both marked as repeats.
void Repeat(Session& session, std::size_t index, int variant)
{
    if (!session.model.physical[index] || !OursHasTheKeyboard(session))
        return;
    SendKey(QGuiApplication::focusWindow(), kKeys[index], variant, false, true);
    SendKey(QGuiApplication::focusWindow(), kKeys[index], variant, true, true);
}

// What an X backend does when the keyboard comes back: the server's keymap keeps the keys
// whose physical key is down.
void Keymap(Session& session)
{
    Model& model = session.model;
    std::uint8_t bits[64] = {};
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (model.physical[i])
            bits[kKeys[i].scanCode / 8] |= std::uint8_t(1u << (kKeys[i].scanCode % 8));
    }
    NativeKeysDown(bits, 512);
    model.down.fill(false);
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (!model.physical[i] || kKeys[i].scanCode == 0)
            model.pressedBy[i] = 0;
        if (model.pressedBy[i] != 0)
            model.down[model.pressedBy[i]] = true;
    }
}

void Activate(QWindow* window)
{
    window->requestActivate();
    Settle();
}

void FocusForeign(Session& session)
{
    const bool wasOurs = OursHasTheKeyboard(session);
    Activate(session.foreign);
    // Behind a modal dialog the window may not be activated; then the keyboard stays ours.
    if (wasOurs && QGuiApplication::focusWindow() == session.foreign) {
        session.model.down.fill(false);
        session.model.pressedBy.fill(0);
    }
}

void RunSteps(Session& session);

// The help dialog runs its own loop: the rest of the sequence runs inside it, from a timer,
// until a step closes the dialog (or a key presses its button); then the loop returns here.
void OpenDialog(Session& session)
{
    QTimer::singleShot(0, [&session] {
        session.dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!session.dialog)
            Broken("the help dialog did not open");
        Check(session);
        RunSteps(session);
        if (session.dialog && session.dialog->isVisible())
            session.dialog->reject();
        session.dialog = nullptr;
    });
    g_arenaApp.OnHelpGeneral();
    if (QApplication::activeModalWidget())
        Broken("the help dialog is still open after its loop ended");
    Settle();
}

void RunSteps(Session& session)
{
    while (session.More()) {
        if (session.dialog && !session.dialog->isVisible()) {
            // A key pressed the dialog's button: its loop ends once this step returns.
            session.dialog = nullptr;
            return;
        }
        // Presses and releases twice as often as repeats.
        const unsigned step = session.Pick(9);
        if (step < 5) {
            static void (*const kKeySteps[])(Session&, std::size_t, int) = {Press, Press, Release, Release, Repeat};
            const std::size_t key = session.Pick(kKeyCount);
            kKeySteps[step](session, key, int(session.Pick(2)));
        } else switch (step) {
        case 5:
            if (const unsigned to = session.Pick(3); to == 0)
                FocusForeign(session);
            else if (to == 1)
                Activate(FrameWindow(session));
            else if (session.dialog)
                Activate(session.dialog->windowHandle());
            break;
        case 6:
            if (session.dialog) {
                session.dialog->reject();
                Settle();
                return;
            }
            OpenDialog(session);
            break;
        case 7:
            session.frame->m_native->resize(int(100 + session.Pick(16) * 60), int(100 + session.Pick(16) * 45));
            break;
        default:
            Keymap(session);
            break;
        }
        Settle();
        Check(session);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit its windows would outlive the thread data Qt tears down first.
    new QApplication(*argc, *argv);
    InstallKeyInput();
    g_calendarClock = [] { return std::int32_t{1'700'000'000}; };
    if (!g_arenaApp.InitInstance())
        Broken("the program did not start");
    g_foreign = new QWindow;
    g_foreign->resize(200, 150);
    g_foreign->show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Session session{data, size, 0, {}, nullptr, nullptr, nullptr};
    session.frame = g_arenaApp.m_pMainWnd;
    session.foreign = g_foreign;
    if (!session.frame)
        Broken("the windows were not made");
    // Each sequence starts with the frame focused and every key up.
    Activate(FrameWindow(session));
    if (QGuiApplication::focusWindow() != FrameWindow(session))
        Broken("the frame does not take the focus");
    KeyboardReleaseAll();
    Check(session);
    RunSteps(session);
    return 0;
}
