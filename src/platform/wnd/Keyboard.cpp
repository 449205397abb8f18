#include "platform/wnd/Keyboard.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "platform/wnd/Backend.h"
#include "platform/wnd/Wnd.h"

namespace {

constexpr std::size_t kKeys = 256;
// Native scan codes (X and Wayland key codes) fit here; a key beyond it releases what its
// release event reports.
constexpr std::uint32_t kScanCodes = 512;
constexpr BYTE kDown = 0x80;
// Bits of the key flags (the high word of lParam) besides the scan code in the low byte.
constexpr unsigned kFlagPreviouslyDown = 0x4000;
constexpr unsigned kFlagReleased = 0x8000;

BYTE s_keys[kKeys];
// The virtual key each physical key pressed, 0 when it is up or unknown; scan code 0 means
// "no scan code" (synthetic events) and is never recorded.
UINT s_pressedBy[kScanCodes];
// How many controller keys hold each virtual key: several seats share Start's key.
BYTE s_controllerHolds[kKeys];
// The keys whose press switched full screen, so that their release is not seen either.
bool s_fullScreenKeyDown[kKeys];

CWnd* TopLevelOf(CWnd* wnd)
{
    while ((wnd->m_style & WS_CHILD) && wnd->m_parent)
        wnd = wnd->m_parent;
    return wnd;
}

// F11 and Alt+Enter (Alt as the table holds it) switch the frame of the window with the
// focus between full screen and a window, and neither reaches the table or the game. With
// no window of ours in the focus the key is the toolkit's. True when the key was taken.
bool FullScreenKey(CWnd* target, UINT virtualKey, bool pressed, bool autoRepeat)
{
    if (virtualKey >= kKeys)
        return false;
    if (!pressed)
        return std::exchange(s_fullScreenKeyDown[virtualKey], false);
    if (!target || !(virtualKey == VK_F11 || (virtualKey == VK_RETURN && (s_keys[VK_MENU] & kDown))))
        return false;
    // An auto-repeat is only swallowed: Enter held before Alt is still released as usual.
    if (!autoRepeat) {
        s_fullScreenKeyDown[virtualKey] = true;
        if (CWnd* const frame = TopLevelOf(target); frame->m_native)
            backend::ToggleFullScreen(*frame->m_native);
    }
    return true;
}

// The classic message loop's accelerators: a key going down that is one of the frame's
// accelerators, with just the Shift, Ctrl and Alt it names held, posts its command to the
// frame (from an accelerator, source 1) instead of reaching the window.
bool AcceleratorKey(CWnd* target, UINT virtualKey)
{
    CWnd* const frame = TopLevelOf(target);
    if (!frame->m_accelerators || !frame->m_native)
        return false;
    const auto held = [](UINT key, std::uint8_t flag) { return (s_keys[key] & kDown) ? flag : 0; };
    const int modifiers = held(VK_SHIFT, FSHIFT) | held(VK_CONTROL, FCONTROL) | held(VK_MENU, FALT);
    for (const AcceleratorEntry& entry : frame->m_accelerators->entries) {
        if (AcceleratorVirtualKey(entry) == virtualKey && (entry.flags & (FSHIFT | FCONTROL | FALT)) == modifiers) {
            backend::PostCommand(*frame->m_native, entry.command, 1);
            return true;
        }
    }
    return false;
}

}  // namespace

bool GetKeyboardState(BYTE* keys)
{
    if (!keys)
        return false;
    for (std::size_t key = 0; key < kKeys; ++key)
        keys[key] = BYTE(s_keys[key] | (s_controllerHolds[key] != 0 ? kDown : 0));
    return true;
}

bool KeyboardPress(UINT virtualKey, std::uint32_t scanCode, bool autoRepeat)
{
    if (autoRepeat || virtualKey == 0 || virtualKey >= kKeys)
        return false;
    s_keys[virtualKey] = kDown;
    if (scanCode != 0 && scanCode < kScanCodes)
        s_pressedBy[scanCode] = virtualKey;
    return true;
}

UINT KeyboardRelease(UINT virtualKey, std::uint32_t scanCode, bool autoRepeat)
{
    if (autoRepeat)
        return 0;
    UINT released = virtualKey;
    if (scanCode != 0 && scanCode < kScanCodes && s_pressedBy[scanCode] != 0) {
        released = s_pressedBy[scanCode];
        s_pressedBy[scanCode] = 0;
    }
    if (released == 0 || released >= kKeys)
        return 0;
    s_keys[released] = 0;
    return released;
}

void KeyboardReleaseAll()
{
    std::fill(std::begin(s_keys), std::end(s_keys), BYTE(0));
    std::fill(std::begin(s_pressedBy), std::end(s_pressedBy), UINT(0));
    std::fill(std::begin(s_fullScreenKeyDown), std::end(s_fullScreenKeyDown), false);
}

void ControllerKeyDown(UINT virtualKey)
{
    if (virtualKey != 0 && virtualKey < kKeys && s_controllerHolds[virtualKey] < 0xFF)
        ++s_controllerHolds[virtualKey];
}

void ControllerKeyUp(UINT virtualKey)
{
    if (virtualKey != 0 && virtualKey < kKeys && s_controllerHolds[virtualKey] > 0)
        --s_controllerHolds[virtualKey];
}

void KeyboardKeepPhysical(const std::uint8_t* down, std::size_t scanCodes)
{
    BYTE kept[kKeys] = {};
    for (std::uint32_t code = 1; code < kScanCodes; ++code) {
        const UINT key = s_pressedBy[code];
        if (key == 0)
            continue;
        if (code < scanCodes && ((down[code / 8] >> (code % 8)) & 1u) != 0)
            kept[key] = kDown;
        else
            s_pressedBy[code] = 0;
    }
    std::memcpy(s_keys, kept, kKeys);
}

bool NativeKey(CWnd* target, UINT virtualKey, std::uint32_t scanCode, bool pressed, bool autoRepeat)
{
    if (FullScreenKey(target, virtualKey, pressed, autoRepeat))
        return true;
    unsigned flags = scanCode & 0xFFu;
    UINT messageKey = virtualKey;
    if (pressed) {
        if (!KeyboardPress(virtualKey, scanCode, autoRepeat))
            flags |= kFlagPreviouslyDown;
    } else {
        messageKey = KeyboardRelease(virtualKey, scanCode, autoRepeat);
        flags |= kFlagPreviouslyDown | kFlagReleased;
    }
    if (!target)
        return false;
    if (pressed && AcceleratorKey(target, virtualKey))
        return true;
    if (messageKey != 0)
        target->SendMessage(pressed ? WM_KEYDOWN : WM_KEYUP, messageKey, MakeLParam(1, flags));
    return true;
}

void NativeKeyboardLost()
{
    KeyboardReleaseAll();
}

void NativeKeysDown(const std::uint8_t* down, std::size_t scanCodes)
{
    KeyboardKeepPhysical(down, scanCodes);
}
