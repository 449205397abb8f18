#pragma once
// Keeps the key table true to the keyboard through focus changes. Qt's X11 platform reports
// the application inactive only some 100 ms after the focus left, and never for a keyboard
// grab by another client, so a key released meanwhile would stay held. On X the focus events
// are watched as the server sends them: whenever the keyboard goes to another client every
// key is released, and whenever the focus moves to or between our windows only the keys the
// server reports down stay held. Without an X connection (offscreen, Wayland) every key is
// released when the focus goes to a window that is not ours.

// Installs the watch once; later calls do nothing.
void InstallKeyboardFocusWatch();
