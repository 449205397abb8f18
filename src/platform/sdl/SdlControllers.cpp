#include "platform/sdl/SdlControllers.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <iterator>

#include "platform/wnd/Backend.h"

namespace {

// With a controller open its input is read often enough to feel immediate at 40 ticks a
// second; with none, SDL only has to notice one being plugged in.
constexpr int kActiveMilliseconds = 8;
constexpr int kIdleMilliseconds = 250;

bool ButtonOf(Uint8 sdlButton, ControllerButton& button)
{
    switch (sdlButton) {
    case SDL_CONTROLLER_BUTTON_A: button = ControllerButton::South; return true;
    case SDL_CONTROLLER_BUTTON_BACK: button = ControllerButton::Back; return true;
    case SDL_CONTROLLER_BUTTON_START: button = ControllerButton::Start; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: button = ControllerButton::DpadUp; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: button = ControllerButton::DpadDown; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: button = ControllerButton::DpadLeft; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: button = ControllerButton::DpadRight; return true;
    default: return false;
    }
}

}  // namespace

CSdlControllers::CSdlControllers()
{
    std::fill(std::begin(m_open), std::end(m_open), -1);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    m_started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

CSdlControllers::~CSdlControllers()
{
    if (!m_started)
        return;
    for (const int id : m_open) {
        if (id >= 0)
            Close(id);
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    if (SDL_WasInit(0) == 0)
        SDL_Quit();
}

int CSdlControllers::Pump()
{
    if (!m_started)
        return kIdleMilliseconds;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            Open(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            Close(event.cdevice.which);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (ControllerButton button; ButtonOf(event.cbutton.button, button))
                NativeControllerButton(event.cbutton.which, button, event.type == SDL_CONTROLLERBUTTONDOWN);
            break;
        case SDL_CONTROLLERAXISMOTION:
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
                NativeControllerAxis(event.caxis.which, ControllerAxis::LeftX, event.caxis.value);
            else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
                NativeControllerAxis(event.caxis.which, ControllerAxis::LeftY, event.caxis.value);
            break;
        default:
            break;
        }
    }
    const bool any = std::any_of(std::begin(m_open), std::end(m_open), [](int id) { return id >= 0; });
    return any ? kActiveMilliseconds : kIdleMilliseconds;
}

void CSdlControllers::Open(int deviceIndex)
{
    const auto place = std::find(std::begin(m_open), std::end(m_open), -1);
    if (place == std::end(m_open))
        return;
    SDL_GameController* const controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller)
        return;
    const int id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    // SDL may report a controller twice (present at start-up and then added); it is open once.
    if (id < 0 || std::find(std::begin(m_open), std::end(m_open), id) != std::end(m_open)) {
        SDL_GameControllerClose(controller);
        return;
    }
    *place = id;
    NativeControllerAdded(id);
}

void CSdlControllers::Close(int id)
{
    const auto place = std::find(std::begin(m_open), std::end(m_open), id);
    if (place == std::end(m_open))
        return;
    *place = -1;
    NativeControllerRemoved(id);
    if (SDL_GameController* const controller = SDL_GameControllerFromInstanceID(id))
        SDL_GameControllerClose(controller);
}
