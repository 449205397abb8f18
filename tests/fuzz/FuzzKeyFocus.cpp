// libFuzzer target: the whole program on Qt's offscreen platform, driven through the key and
// focus events Qt delivers. The input bytes choose a sequence of key presses, releases and
// auto-repeats (keypad keys pressed and released in either Num Lock state), focus moves
// between the frame and a window that is not ours (standing for another client: keys never
// reach us while it has the focus), and the keymap a backend reads from its server. After
// every event the key table must hold exactly the keys that an independent model of the
// sequence leaves down. A broken rule aborts, so that libFuzzer keeps the input. (The help
// dialog's own loop is the real-window focus test's.)
#include <QApplication>
#include <QKeyEvent>
#include <QWindow>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/ArenaApp.h"
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

// Game keys (Escape, which ends the program, and Alt, which opens the menus, left out), two
// physical keys of one virtual key, the keypad in both Num Lock states, and a key without a
// scan code, as synthetic events have.
constexpr PhysicalKey kKeys[] = {
    {111, {Qt::Key_Up, Qt::Key_Up}, false, {VK_UP, VK_UP}},
    {36, {Qt::Key_Return, Qt::Key_Return}, false, {VK_RETURN, VK_RETURN}},
    {104, {Qt::Key_Enter, Qt::Key_Enter}, true, {VK_RETURN, VK_RETURN}},
    {38, {Qt::Key_A, Qt::Key_A}, false, {'A', 'A'}},
    {33, {Qt::Key_P, Qt::Key_P}, false, {'P', 'P'}},
    {67, {Qt::Key_F1, Qt::Key_F1}, false, {VK_F1, VK_F1}},
    {112, {Qt::Key_PageUp, Qt::Key_PageUp}, false, {VK_PRIOR, VK_PRIOR}},
    {80, {Qt::Key_8, Qt::Key_Up}, true, {VK_NUMPAD8, VK_UP}},
    {84, {Qt::Key_5, Qt::Key_Clear}, true, {VK_NUMPAD5, VK_CLEAR}},
    {86, {Qt::Key_Plus, Qt::Key_Plus}, true, {VK_ADD, VK_ADD}},
    {0, {Qt::Key_D, Qt::Key_D}, false, {'D', 'D'}},
};
constexpr std::size_t kKeyCount = std::size(kKeys);

CWnd* g_frame = nullptr;
QWindow* g_foreign = nullptr;  // a window of the process that is none of the game's

// The key table as the sequence leaves it, kept apart from the real one: which virtual keys
// are down, which virtual key each physical key pressed, and which physical keys are down.
struct Model
{
    std::array<bool, 256> down{};
    std::array<UINT, kKeyCount> pressedBy{};
    std::array<bool, kKeyCount> physical{};
};

[[noreturn]] void Broken(const char* what)
{
    std::fprintf(stderr, "key table rule broken: %s\n", what);
    std::abort();
}

void Check(const Model& model)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    for (std::size_t key = 0; key < 256; ++key) {
        if ((keys[key] == 0x80) != model.down[key]) {
            std::fprintf(stderr, "virtual key 0x%02zX is %s in the table\n", key, keys[key] ? "down" : "up");
            Broken("the table differs from the keys the sequence leaves down");
        }
    }
}

// Sends the key to the focus window, when it is ours; false when another client has it.
bool SendKey(const PhysicalKey& key, int variant, bool press, bool autoRepeat)
{
    QWindow* const focus = QGuiApplication::focusWindow();
    if (!focus || focus == g_foreign)
        return false;
    const Qt::KeyboardModifiers modifiers = key.keypad ? Qt::KeypadModifier : Qt::NoModifier;
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key.keys[variant], modifiers, key.scanCode, 0, 0,
                    QString(), autoRepeat);
    QCoreApplication::sendEvent(focus, &event);
    return true;
}

// A press (a held key repeats), a release, or X's auto-repeat of a held key: a release and
// a press, both marked as repeats.
void KeyStep(Model& model, unsigned step, std::size_t index, int variant)
{
    const PhysicalKey& key = kKeys[index];
    const bool held = std::exchange(model.physical[index], step < 2 || (step == 4 && model.physical[index]));
    if (step < 2) {
        if (SendKey(key, variant, true, held) && !held) {
            model.down[key.virtualKeys[variant]] = true;
            if (key.scanCode != 0)
                model.pressedBy[index] = key.virtualKeys[variant];
        }
    } else if (step < 4) {
        if (held && SendKey(key, variant, false, false)) {
            const UINT released = model.pressedBy[index] != 0 ? model.pressedBy[index] : key.virtualKeys[variant];
            model.pressedBy[index] = 0;
            model.down[released] = false;
        }
    } else if (held && SendKey(key, variant, false, true)) {
        SendKey(key, variant, true, true);
    }
}

// What an X backend does when the keyboard comes back: the server's keymap keeps the keys
// whose physical key is down.
void Keymap(Model& model)
{
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
    QCoreApplication::processEvents();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit its windows would outlive the thread data Qt tears down first.
    new QApplication(*argc, *argv);
    InstallKeyInput();
    g_calendarClock = [] { return std::int32_t{1'700'000'000}; };
    if (!g_arenaApp.InitInstance() || !(g_frame = g_arenaApp.m_pMainWnd))
        Broken("the program did not start");
    g_foreign = new QWindow;
    g_foreign->resize(200, 150);
    g_foreign->show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QWindow* const frame = g_frame->m_native->windowHandle();
    // Each sequence starts with the frame focused and every key up.
    Activate(frame);
    if (QGuiApplication::focusWindow() != frame)
        Broken("the frame does not take the focus");
    KeyboardReleaseAll();
    Model model;
    std::size_t at = 0;
    const auto pick = [&](unsigned n) { return (at < size ? data[at++] : 0u) % n; };
    while (at < size) {
        // Presses and releases twice as often as repeats.
        if (const unsigned step = pick(8); step < 5) {
            const std::size_t key = pick(kKeyCount);
            KeyStep(model, step, key, int(pick(2)));
        } else if (step == 5) {
            const bool wasOurs = QGuiApplication::focusWindow() != g_foreign;
            Activate(g_foreign);
            if (wasOurs && QGuiApplication::focusWindow() == g_foreign) {
                model.down.fill(false);
                model.pressedBy.fill(0);
            }
        } else if (step == 6) {
            Activate(frame);
        } else {
            Keymap(model);
        }
        QCoreApplication::processEvents();
        Check(model);
    }
    return 0;
}
