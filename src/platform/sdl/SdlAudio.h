#pragma once
// CSdlAudio: the desktop's sound through SDL's audio device (SDL is linked for the
// controllers already): stereo float at 48 kHz, a callback of 512 frames on SDL's audio
// thread that renders the sound engine's mix. The game's thread reaches the callback only
// through the engine's lock-free queue. Without a device, or with one that fails to open,
// the game plays on silently and says so in one line on stderr.
#include <SDL2/SDL.h>

#include "sound/SoundEngine.h"

class CSdlAudio
{
public:
    CSdlAudio();
    ~CSdlAudio();
    CSdlAudio(const CSdlAudio&) = delete;
    CSdlAudio& operator=(const CSdlAudio&) = delete;

    // The one device of the program, or null when there is none.
    static CSdlAudio* Instance();
    void Post(const SoundCommand& command) { m_engine.Post(command); }

private:
    static void Callback(void* self, Uint8* stream, int bytes);

    CSoundEngine m_engine;
    SDL_AudioDeviceID m_device = 0;
};
