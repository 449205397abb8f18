#include "app/ControllerSeats.h"

#include "arena/ArenaView.h"

namespace {

constexpr UINT kPause = 'P';

// Up, down, left, right, fire, Back, Start. The sentry only turns and fires.
constexpr ControllerSeat kSeats[CSeatAutopilots::kSeats] = {
    {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN, VK_F1, kPause},
    {'W', 'S', 'A', 'D', VK_SPACE, VK_F2, kPause},
    {VK_NUMPAD8, VK_NUMPAD5, VK_NUMPAD4, VK_NUMPAD6, VK_ADD, VK_F3, kPause},
    {0, 0, 'J', 'K', 'L', VK_F4, kPause},
};

bool& AutopilotOf(CArenaView& arena, int seat)
{
    return seat < CSeatAutopilots::kSeats - 1 ? arena.m_ships[seat].m_autopilot : arena.m_sentry.m_autopilot;
}

}  // namespace

const std::span<const ControllerSeat> g_controllerSeats = kSeats;

void CSeatAutopilots::OnControllerSeat(CArenaView& arena, int seat, bool taken)
{
    if (seat < 0 || seat >= kSeats)
        return;
    bool& autopilot = AutopilotOf(arena, seat);
    m_held = std::uint8_t(taken ? m_held | 1u << seat : m_held & ~(1u << seat));
    if (taken) {
        m_before[seat] = autopilot;
        autopilot = false;
    } else {
        autopilot = m_before[seat];
    }
}
