// The keyboard: releases switch autopilots, the ship count and the pause; the keys held
// at each tick turn, thrust and fire; Escape ends the program at once.
#include <cstdlib>

#include "arena/ArenaView.h"
#include "armament/Weapon.h"
#include "platform/wnd/Keyboard.h"

namespace {

constexpr int kMinShips = 2;
constexpr BYTE kHeld = 0x80;

// The keys of one player's ship, in the order they are tested each tick.
struct ShipKeys
{
    int slot;
    UINT turnLeft;
    UINT turnRight;
    UINT firstThrust;
    int firstDirection;
    UINT secondThrust;
    int secondDirection;
    UINT fire;
};

constexpr ShipKeys kShipKeys[] = {
    {0, VK_LEFT, VK_RIGHT, VK_UP, +1, VK_DOWN, -1, VK_RETURN},
    {1, 'A', 'D', 'S', -1, 'W', +1, VK_SPACE},
    {2, VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD5, -1, VK_NUMPAD8, +1, VK_ADD},
};

enum : UINT { kSentryTurnLeft = 'J', kSentryTurnRight = 'K', kSentryFire = 'L', kPause = 'P' };

}  // namespace

void CArenaView::OnKeyDown(UINT virtualKey, UINT, UINT)
{
    if (virtualKey == VK_ESCAPE)
        std::exit(0);
    Default();
}

void CArenaView::OnKeyUp(UINT virtualKey, UINT, UINT)
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
    Default();
}

void CArenaView::PollKeyboard()
{
    BYTE keys[256];
    GetKeyboardState(keys);
    const auto held = [&keys](UINT key) { return (keys[key & 0xFF] & kHeld) != 0; };

    for (const ShipKeys& row : kShipKeys) {
        CShip& ship = m_ships[row.slot];
        if (row.slot >= m_shipCount || ship.m_autopilot)
            continue;
        if (held(row.turnLeft))
            ship.TurnLeft();
        if (held(row.turnRight))
            ship.TurnRight();
        if (held(row.firstThrust))
            ship.Thrust(row.firstDirection);
        if (held(row.secondThrust))
            ship.Thrust(row.secondDirection);
        if (held(row.fire) && ship.m_cooldown <= 0)
            ship.m_weapon->Fire(&ship);
    }

    if (!m_sentry.m_autopilot) {
        if (held(kSentryTurnLeft))
            m_sentry.TurnLeft();
        if (held(kSentryTurnRight))
            m_sentry.TurnRight();
        if (held(kSentryFire)) {
            const int slot = m_sentry.FindFreeBullet();
            if (slot >= 0)
                m_sentry.Fire(slot);
        }
    }
}
