#pragma once
// CSdlControllers: game controllers through SDL's game-controller API, for input only (Qt
// keeps the window). SDL's own mapping database, and SDL_GAMECONTROLLERCONFIG which SDL
// reads itself, say which of a device's inputs are the standard layout's. The backend's event
// loop pumps SDL's events into the window layer's Native* controller events; there is no
// thread of ours. Where SDL cannot start its game-controller subsystem there are no
// controllers and nothing else changes.

class CSdlControllers
{
public:
    // Starts SDL (without its signal handlers, so that Ctrl+C and SIGTERM still end the
    // program). Controllers already plugged in arrive with the first pump.
    CSdlControllers();
    // Unplugs every controller and ends what it started of SDL.
    ~CSdlControllers();
    CSdlControllers(const CSdlControllers&) = delete;
    CSdlControllers& operator=(const CSdlControllers&) = delete;

    // Handles every event SDL has: plugging in, unplugging, buttons and the left stick.
    // Returns the milliseconds until the next pump is due.
    int Pump();

    bool m_started;

private:
    void Open(int deviceIndex);
    void Close(int id);

    // The SDL instance ids of the controllers open, -1 for a free place.
    static constexpr int kControllers = 16;
    int m_open[kControllers];
};
