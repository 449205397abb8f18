#include "app/PlayerOptions.h"

#include "app/Resource.h"
#include "platform/wnd/Backend.h"
#include "platform/wnd/Wnd.h"

namespace {

constexpr const char* kSoundName = "sound";
constexpr const char* kPaletteName = "colourBlindPalette";

}  // namespace

void CPlayerOptions::Load(CWnd& frame)
{
    m_frame = &frame;
    m_sound = backend::LoadOption(kSoundName, true);
    m_colourBlind = backend::LoadOption(kPaletteName, false);
    backend::SetSoundOn(m_sound);
    Show();
}

void CPlayerOptions::ToggleSound()
{
    m_sound = !m_sound;
    backend::SetSoundOn(m_sound);
    backend::SaveOption(kSoundName, m_sound);
    Show();
}

void CPlayerOptions::ToggleColourBlind()
{
    m_colourBlind = !m_colourBlind;
    backend::SaveOption(kPaletteName, m_colourBlind);
    Show();
}

void CPlayerOptions::Show() const
{
    if (m_frame == nullptr || m_frame->m_native == nullptr)
        return;
    backend::CheckMenuItem(*m_frame->m_native, ID_GAME_SOUND, m_sound);
    backend::CheckMenuItem(*m_frame->m_native, ID_GAME_PALETTE, m_colourBlind);
}
