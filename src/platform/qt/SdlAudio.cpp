#include "platform/qt/SdlAudio.h"

#include <cstdio>

#include "platform/wnd/Backend.h"

namespace {

CSdlAudio* g_audio = nullptr;

}  // namespace

CSdlAudio::CSdlAudio()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "vexlor: no sound (%s); the game plays on silently\n", SDL_GetError());
        return;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = 512;
    wanted.callback = &CSdlAudio::Callback;
    wanted.userdata = this;
    // No change allowed: SDL converts whatever the device takes from this.
    SDL_AudioSpec obtained{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (m_device == 0) {
        std::fprintf(stderr, "vexlor: no sound (%s); the game plays on silently\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    g_audio = this;
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
    if (CSdlAudio* const audio = CSdlAudio::Instance())
        audio->Post({on ? SoundCommand::Kind::Unmute : SoundCommand::Kind::Mute, Effect::ShotSingle, 0.0f});
}

}  // namespace backend
