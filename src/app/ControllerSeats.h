#pragma once
// The seats game controllers take, in this order: ships 1 to 3 and the sentry, each on the
// keys of its keyboard player, Back on its autopilot switch and Start on the pause key; and
// the game's rule for a seat a controller takes or leaves.
#include <cstdint>
#include <span>

#include "platform/wnd/Controllers.h"

class CArenaView;

// The game window of these seats is the arena view.
extern const std::span<const ControllerSeat> g_controllerSeats;

// Taking a seat switches its autopilot off, so that the player flies at once; leaving it
// puts back the autopilot the seat had when it was taken.
class CSeatAutopilots
{
public:
    static constexpr int kSeats = 4;

    bool m_before[kSeats] = {};
    // The seats controllers hold, a bit each.
    std::uint8_t m_held = 0;

    void OnControllerSeat(CArenaView& arena, int seat, bool taken);
};
