#include "sound/SoundEngine.h"

void CSoundEngine::Render(float* out, int frames)
{
    SoundCommand command;
    while (m_queue.Pop(command)) {
        switch (command.kind) {
        case SoundCommand::Kind::Play: m_mixer.Play(command.effect, command.pan); break;
        case SoundCommand::Kind::StopAll: m_mixer.StopAll(); break;
        case SoundCommand::Kind::Mute: m_mixer.SetMuted(true); break;
        case SoundCommand::Kind::Unmute: m_mixer.SetMuted(false); break;
        }
    }
    m_mixer.Render(out, frames);
}
