// The keyboard: releases switch autopilots, the ship count and the pause; the keys held
// at each tick turn, thrust and fire; Escape ends the program at once. Each tick's held
// keys arrive as seat bits in its input record, which the local keyboard and controllers
// fill from the key table (the seat keys below) and a replay or the network otherwise.
#include <cstdlib>

#include "arena/ArenaView.h"

#include "app/OnlineGame.h"
#include "app/PlayerOptions.h"
#include "armament/Weapon.h"
#include "platform/wnd/Keyboard.h"

namespace {

constexpr BYTE kHeld = 0x80;

// The virtual keys of each seat's bits: left, right, forward, backward, fire.
constexpr UINT kSeatKeys[CTickInput::kSeats][5] = {
    {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN},
    {'A', 'D', 'W', 'S', VK_SPACE},
    {VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD8, VK_NUMPAD5, VK_ADD},
    {'J', 'K', 0, 0, 'L'},
};

// The order in which one player's ship tests its keys each tick: ship 1 thrusts forward
// before backward, ships 2 and 3 backward before forward.
struct ShipKeys
{
    int slot;
    std::uint8_t firstThrust;
    int firstDirection;
    std::uint8_t secondThrust;
    int secondDirection;
};

constexpr ShipKeys kShipKeys[] = {
    {0, kSeatForward, +1, kSeatBackward, -1},
    {1, kSeatBackward, -1, kSeatForward, +1},
    {2, kSeatBackward, -1, kSeatForward, +1},
};

enum : UINT { kPause = 'P' };

}  // namespace

bool IsSwitchKey(unsigned virtualKey)
{
    switch (virtualKey) {
    case VK_F1: case VK_F2: case VK_F3: case VK_F4: case kPause: case VK_PRIOR: case VK_NEXT:
        return true;
    default:
        return false;
    }
}

void CArena::HoldSeat(int seat, bool held)
{
    if (seat == CTickInput::kSentrySeat)
        m_sentry.m_autopilot = !held;
    else if (seat >= 0 && seat < CTickInput::kSentrySeat)
        m_ships[seat].m_autopilot = !held;
}

void CArena::ApplySwitch(unsigned virtualKey)
{
    if (virtualKey == VK_F3)
        m_ships[2].m_autopilot = !m_ships[2].m_autopilot;
    else if (virtualKey == VK_F2)
        m_ships[1].m_autopilot = !m_ships[1].m_autopilot;
    else if (virtualKey == VK_F1)
        m_ships[0].m_autopilot = !m_ships[0].m_autopilot;
    else if (virtualKey == VK_F4)
        m_sentry.m_autopilot = !m_sentry.m_autopilot;
    else if (virtualKey == kPause)
        m_paused = !m_paused;
    else if (virtualKey == VK_PRIOR) {
        if (m_shipCount < kShipSlots)
            m_shipCount += 1;
    } else if (virtualKey == VK_NEXT) {
        if (m_shipCount > kMinShips)
            m_shipCount -= 1;
    }
}

void CArena::PollKeyboard()
{
    const auto held = [this](int seat, std::uint8_t key) { return (m_keys[seat] & key) != 0; };

    for (const ShipKeys& row : kShipKeys) {
        CShip& ship = m_ships[row.slot];
        if (row.slot >= m_shipCount || ship.m_autopilot)
            continue;
        if (held(row.slot, kSeatLeft))
            ship.TurnLeft();
        if (held(row.slot, kSeatRight))
            ship.TurnRight();
        if (held(row.slot, row.firstThrust))
            ship.Thrust(row.firstDirection);
        if (held(row.slot, row.secondThrust))
            ship.Thrust(row.secondDirection);
        if (held(row.slot, kSeatFire) && ship.m_cooldown <= 0)
            ship.m_weapon->Fire(&ship);
    }

    if (!m_sentry.m_autopilot) {
        const int seat = CTickInput::kSentrySeat;
        if (held(seat, kSeatLeft))
            m_sentry.TurnLeft();
        if (held(seat, kSeatRight))
            m_sentry.TurnRight();
        if (held(seat, kSeatFire)) {
            const int slot = m_sentry.FindFreeBullet();
            if (slot >= 0)
                m_sentry.Fire(slot);
        }
    }
}

void CArenaView::ReadHeldKeys(CTickInput& input)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    for (int seat = 0; seat < CTickInput::kSeats; ++seat) {
        std::uint8_t bits = 0;
        for (int k = 0; k < 5; ++k) {
            const UINT key = kSeatKeys[seat][k];
            if (key != 0 && (keys[key & 0xFF] & kHeld) != 0)
                bits |= std::uint8_t(1u << k);
        }
        input.m_seats[seat] = bits;
    }
}

// Online, Escape leaves the session first, so that the others play on at once; the program
// ends when the relay has the leave, or a second later without it.
void CArenaView::OnKeyDown(UINT virtualKey, UINT, UINT)
{
    if (virtualKey == VK_ESCAPE && m_online == nullptr)
        std::exit(0);
    if (virtualKey == VK_ESCAPE && m_leaveTicks < 0) {
        m_online->Leave();
        m_leaveTicks = int(1000 / kTickMilliseconds);
    }
    Default();
}

// Locally a switch acts at once; it also joins the next tick's input, so that a recording
// replays it just before that tick. One that the input has no room for acts only when
// nothing records it. A replay takes its switches from the file only; online, they go to the
// session as commands at the next tick.
void CArenaView::OnKeyUp(UINT virtualKey, UINT, UINT)
{
    // M switches the sound, on release like the game's other switches; the game never sees it.
    if (virtualKey == 'M' && m_options != nullptr)
        m_options->ToggleSound();
    if (m_online != nullptr && IsSwitchKey(virtualKey)) {
        m_pendingInput.AddSwitch(std::uint8_t(virtualKey));
    } else if (m_playback == nullptr && IsSwitchKey(virtualKey)) {
        if (m_pendingInput.AddSwitch(std::uint8_t(virtualKey)) || m_recorder == nullptr)
            ApplySwitch(virtualKey);
    }
    Default();
}
