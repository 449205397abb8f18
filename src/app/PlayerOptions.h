#pragma once
// CPlayerOptions: the player's choices of sound and of the colour-blind palette, kept by
// the backend between runs and shown as check marks in the Game menu. Sound is on and the
// palette off until the player chooses otherwise.
class CWnd;

class CPlayerOptions
{
public:
    bool m_sound = true;
    bool m_colourBlind = false;

    // Reads the remembered choices and puts them into effect; frame's menu shows them.
    void Load(CWnd& frame);
    void ToggleSound();
    void ToggleColourBlind();

private:
    void Show() const;

    CWnd* m_frame = nullptr;
};
