#include "app/ControllerSeats.h"

#include "arena/ArenaView.h"

namespace {

template <int Slot>
bool ShipAutopilot(const CWnd& game)
{
    return static_cast<const CArenaView&>(game).m_ships[Slot].m_autopilot;
}

bool SentryAutopilot(const CWnd& game)
{
    return static_cast<const CArenaView&>(game).m_sentry.m_autopilot;
}

constexpr UINT kPause = 'P';

// Up, down, left, right, fire, Back, Start. The sentry only turns and fires.
constexpr ControllerSeat kSeats[] = {
    {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN, VK_F1, kPause, ShipAutopilot<0>},
    {'W', 'S', 'A', 'D', VK_SPACE, VK_F2, kPause, ShipAutopilot<1>},
    {VK_NUMPAD8, VK_NUMPAD5, VK_NUMPAD4, VK_NUMPAD6, VK_ADD, VK_F3, kPause, ShipAutopilot<2>},
    {0, 0, 'J', 'K', 'L', VK_F4, kPause, SentryAutopilot},
};

}  // namespace

const std::span<const ControllerSeat> g_controllerSeats = kSeats;
