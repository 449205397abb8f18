#include "platform/sdl/SdlAudio.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "platform/wnd/Backend.h"

namespace {

CSdlAudio* g_audio = nullptr;
// What the game last asked for, kept for a device opened after it asked.
bool g_soundOn = true;

// The sound libraries under SDL (ALSA's above all) write their own complaints to stderr
// when they find no device; SDL's error says what matters in one line, so stderr is kept
// quiet while the device is looked for.
class CQuietStderr
{
public:
    CQuietStderr() : m_saved(dup(STDERR_FILENO))
    {
        const int null = open("/dev/null", O_WRONLY);
        if (m_saved >= 0 && null >= 0)
            dup2(null, STDERR_FILENO);
        if (null >= 0)
            close(null);
    }
    ~CQuietStderr()
    {
        if (m_saved >= 0) {
            dup2(m_saved, STDERR_FILENO);
            close(m_saved);
        }
    }
    CQuietStderr(const CQuietStderr&) = delete;
    CQuietStderr& operator=(const CQuietStderr&) = delete;

private:
    int m_saved;
};

bool OpenDevice(SDL_AudioSpec& wanted, SDL_AudioDeviceID& device)
{
    const CQuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    // No change allowed: SDL converts whatever the device takes from this.
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return device != 0;
}

}  // namespace

CSdlAudio::CSdlAudio()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_AudioSpec wanted{};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = 512;
    wanted.callback = &CSdlAudio::Callback;
    wanted.userdata = this;
    if (!OpenDevice(wanted, m_device)) {
        std::fprintf(stderr, "vexlor: no sound (%s); the game plays on silently\n", SDL_GetError());
        return;
    }
    g_audio = this;
    if (!g_soundOn)
        m_engine.Post({SoundCommand::Kind::Mute, Effect::ShotSingle, 0.0f});
    SDL_PauseAudioDevice(m_device, 0);
}

CSdlAudio::~CSdlAudio()
{
    if (m_device == 0)
        return;
    g_audio = nullptr;
    SDL_CloseAudioDevice(m_device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (SDL_WasInit(0) == 0)
        SDL_Quit();
}

CSdlAudio* CSdlAudio::Instance()
{
    return g_audio;
}

void CSdlAudio::Callback(void* self, Uint8* stream, int bytes)
{
    static_cast<CSdlAudio*>(self)->m_engine.Render(reinterpret_cast<float*>(stream),
                                                    bytes / int(2 * sizeof(float)));
}

namespace backend {

void PlaySound(Effect effect, float pan)
{
    if (CSdlAudio* const audio = CSdlAudio::Instance())
        audio->Post({SoundCommand::Kind::Play, effect, pan});
}

void StopSounds()
{
    if (CSdlAudio* const audio = CSdlAudio::Instance())
        audio->Post({SoundCommand::Kind::StopAll, Effect::ShotSingle, 0.0f});
}

void SetSoundOn(bool on)
{
    g_soundOn = on;
    if (CSdlAudio* const audio = CSdlAudio::Instance())
        audio->Post({on ? SoundCommand::Kind::Unmute : SoundCommand::Kind::Mute, Effect::ShotSingle, 0.0f});
}

}  // namespace backend
