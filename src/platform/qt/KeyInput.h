#pragma once
// Key input: Qt's keys as virtual keys, the keyboard focus, and the application-wide event
// filter that keeps the keyboard state and sends WM_KEYDOWN / WM_KEYUP to the window with
// the focus.
#include <QKeyCombination>

#include "platform/wnd/Messages.h"

// The virtual key of a Qt key, or 0 for a key without one. Keypad digits (Qt::KeypadModifier
// with Key_0..Key_9, that is Num Lock on) are VK_NUMPAD0..9; with Num Lock off the keypad
// reports arrows, Home, End, Clear ..., which map like the keys of the same names.
UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers);

// Installs the event filter on the application once, and tells the layer whether the focus
// is in one of our windows at every change; later calls do nothing.
void InstallKeyInput();
