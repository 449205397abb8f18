#pragma once
// Game controllers as more hands on the keyboard. The application hands over its seats, in
// the order controllers take them, the game window and the seats' owner; each controller
// plugged in takes the first free seat (or, given one, only that seat) and holds that seat's
// virtual keys in the key table (Keyboard.h) while its stick or buttons are pushed, and sends
// the game window the key messages a keyboard would. The game reads them as it reads the
// keyboard, and the keyboard keeps working beside them. The owner is sent WM_CONTROLLERSEAT
// whenever a controller takes a seat or leaves it; what that means for the game is the
// application's to decide.
//
// - Left stick or d-pad: up, down, left, right; the stick acts beyond a quarter of its travel.
// - South button (A, Cross): fire. Back: the seat's back key. Start: its start key.
// - Unplugging releases the controller's keys at once and frees its seat, which the controller
//   waiting longest takes; a controller with no seat free waits and holds nothing.
// - While the focus is not in one of our windows (NativeGameFocus) controller input is
//   ignored and every controller key is released.
// Releases that input did not make (unplugging, focus) send no key message, as the
// keyboard's release of every key on focus loss sends none.
#include <span>

#include "platform/wnd/Messages.h"

class CWnd;

enum class ControllerButton { South, Back, Start, DpadUp, DpadDown, DpadLeft, DpadRight };
enum class ControllerAxis { LeftX, LeftY };

struct ControllerSeat
{
    // The virtual keys held by up, down, left, right and the south button; 0 for none.
    UINT up;
    UINT down;
    UINT left;
    UINT right;
    UINT fire;
    UINT back;
    UINT start;
};

// Every controller plugged in leaves its seat silently (no key message, no report) and takes
// a seat of the new table in the order they were plugged in. An empty table and null windows
// unseat them all, for a game window that goes away.
void SetControllerSeats(std::span<const ControllerSeat> seats, CWnd* game, CWnd* owner);
// The seat index of a controller, or -1 when it waits or is not plugged in.
int ControllerSeatOf(int id);
