#pragma once
// The seats game controllers take, in this order: ships 1 to 3 and the sentry, each on the
// keys of its keyboard player, Back on its autopilot switch and Start on the pause key.
#include <span>

#include "platform/wnd/Controllers.h"

// The game window of these seats is the arena view.
extern const std::span<const ControllerSeat> g_controllerSeats;
