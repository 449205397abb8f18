#include "platform/wnd/Controllers.h"

#include "platform/wnd/Backend.h"
#include "platform/wnd/Keyboard.h"
#include "platform/wnd/Wnd.h"

namespace {

// More controllers than anyone plugs into one machine; any beyond are not seen.
constexpr int kControllers = 16;
// A quarter of the stick's travel; a position at it or nearer the middle holds nothing.
constexpr int kDeadZone = 32768 / 4;
constexpr int kButtons = 7;
constexpr int kAxes = 2;
// Key flags (the high word of lParam) of a key-up message: previously down, released.
constexpr unsigned kKeyUpFlags = 0xC000;

// What a controller holds, in the order of the seat's keys.
enum Slot { kUp, kDown, kLeft, kRight, kFire, kBack, kStart, kSlots };

struct Controller
{
    bool plugged = false;
    int id = 0;
    unsigned pluggedAt = 0;  // order of plugging, for the longest wait
    int seat = -1;
    int wants = -1;  // the one seat it may take, or -1 for any
    bool buttons[kButtons] = {};
    int axes[kAxes] = {};
    bool held[kSlots] = {};
};

Controller s_controllers[kControllers];
std::span<const ControllerSeat> s_seats;
CWnd* s_game = nullptr;
CWnd* s_owner = nullptr;
bool s_focused = false;
unsigned s_plugCount = 0;

bool Pressed(const Controller& c, ControllerButton button)
{
    return c.buttons[int(button)];
}

bool Wanted(const Controller& c, Slot slot)
{
    const int x = c.axes[int(ControllerAxis::LeftX)];
    const int y = c.axes[int(ControllerAxis::LeftY)];
    switch (slot) {
    case kUp: return Pressed(c, ControllerButton::DpadUp) || y < -kDeadZone;
    case kDown: return Pressed(c, ControllerButton::DpadDown) || y > kDeadZone;
    case kLeft: return Pressed(c, ControllerButton::DpadLeft) || x < -kDeadZone;
    case kRight: return Pressed(c, ControllerButton::DpadRight) || x > kDeadZone;
    case kFire: return Pressed(c, ControllerButton::South);
    case kBack: return Pressed(c, ControllerButton::Back);
    case kStart: return Pressed(c, ControllerButton::Start);
    case kSlots: break;
    }
    return false;
}

UINT KeyOf(const ControllerSeat& seat, Slot slot)
{
    const UINT keys[kSlots] = {seat.up, seat.down, seat.left, seat.right, seat.fire, seat.back, seat.start};
    return keys[slot];
}

void SendKey(UINT key, bool down)
{
    if (s_game && key != 0)
        s_game->SendMessage(down ? WM_KEYDOWN : WM_KEYUP, key, MakeLParam(1, down ? 0 : kKeyUpFlags));
}

// Makes the keys held match what the controller's state asks for (nothing when it is
// leaving its seat); with messages only when input changed the state.
void Apply(Controller& c, bool messages, bool leaving = false)
{
    for (int i = 0; i < kSlots; ++i) {
        const Slot slot = Slot(i);
        const bool want = !leaving && c.seat >= 0 && Wanted(c, slot);
        if (want == c.held[slot])
            continue;
        // A seat is left only after its keys are released, so a held key always has its seat.
        const UINT key = KeyOf(s_seats[std::size_t(c.seat)], slot);
        c.held[slot] = want;
        if (want)
            ControllerKeyDown(key);
        else
            ControllerKeyUp(key);
        if (messages)
            SendKey(key, want);
    }
}

// Forgets what the controller pushes, as if it were let go, and releases its keys.
void ReleaseSilently(Controller& c)
{
    for (bool& button : c.buttons)
        button = false;
    for (int& axis : c.axes)
        axis = 0;
    Apply(c, false);
}

void LeaveSeat(Controller& c)
{
    Apply(c, false, true);
    c.seat = -1;
}

void Report(int seat, bool taken)
{
    if (s_owner)
        s_owner->SendMessage(WM_CONTROLLERSEAT, WPARAM(seat), taken ? 1 : 0);
}

bool SeatTaken(int seat)
{
    for (const Controller& c : s_controllers) {
        if (c.plugged && c.seat == seat)
            return true;
    }
    return false;
}

void TakeSeat(Controller& c, int seat)
{
    c.seat = seat;
    Report(seat, true);
    // A waiting controller may already be pushing something.
    Apply(c, true);
}

bool MayTake(const Controller& c, int seat)
{
    return !SeatTaken(seat) && (c.wants < 0 || c.wants == seat);
}

void TakeFirstFreeSeat(Controller& c)
{
    for (int seat = 0; seat < int(s_seats.size()); ++seat) {
        if (MayTake(c, seat)) {
            TakeSeat(c, seat);
            return;
        }
    }
}

// The controller waiting longest that may take the free seat.
Controller* Waiting(int seat)
{
    Controller* longest = nullptr;
    for (Controller& c : s_controllers) {
        if (c.plugged && c.seat < 0 && MayTake(c, seat) && (!longest || c.pluggedAt < longest->pluggedAt))
            longest = &c;
    }
    return longest;
}

Controller* Find(int id)
{
    for (Controller& c : s_controllers) {
        if (c.plugged && c.id == id)
            return &c;
    }
    return nullptr;
}

}  // namespace

void SetControllerSeats(std::span<const ControllerSeat> seats, CWnd* game, CWnd* owner)
{
    for (Controller& c : s_controllers) {
        if (c.plugged)
            LeaveSeat(c);
    }
    s_seats = game ? seats : std::span<const ControllerSeat>();
    s_game = game;
    s_owner = owner;
    for (int seat = 0; seat < int(s_seats.size()); ++seat) {
        if (Controller* const waiting = Waiting(seat))
            TakeSeat(*waiting, seat);
    }
}

int ControllerSeatOf(int id)
{
    const Controller* const c = Find(id);
    return c ? c->seat : -1;
}

void NativeGameFocus(bool focused)
{
    s_focused = focused;
    if (!focused) {
        for (Controller& c : s_controllers) {
            if (c.plugged)
                ReleaseSilently(c);
        }
    }
}

void NativeControllerAdded(int id, int seat)
{
    if (Find(id))
        return;
    for (Controller& c : s_controllers) {
        if (!c.plugged) {
            c = Controller{};
            c.plugged = true;
            c.id = id;
            c.pluggedAt = s_plugCount++;
            c.wants = seat;
            TakeFirstFreeSeat(c);
            return;
        }
    }
}

void NativeControllerRemoved(int id)
{
    Controller* const c = Find(id);
    if (!c)
        return;
    const int seat = c->seat;
    LeaveSeat(*c);
    c->plugged = false;
    if (seat < 0)
        return;
    Report(seat, false);
    if (Controller* const waiting = Waiting(seat))
        TakeSeat(*waiting, seat);
}

void NativeControllerButton(int id, ControllerButton button, bool pressed)
{
    Controller* const c = Find(id);
    if (!c || !s_focused || int(button) < 0 || int(button) >= kButtons)
        return;
    c->buttons[int(button)] = pressed;
    Apply(*c, true);
}

void NativeControllerAxis(int id, ControllerAxis axis, int value)
{
    Controller* const c = Find(id);
    if (!c || !s_focused || int(axis) < 0 || int(axis) >= kAxes)
        return;
    c->axes[int(axis)] = value;
    Apply(*c, true);
}
