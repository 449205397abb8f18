#pragma once
// CArenaView: the child window that owns the whole game by value (six ships, their
// explosions, the sentry, four power-ups) and runs it from a 25 ms timer. One tick:
// ships, sentry bullets and explosions move; held keys act; combat resolves; power-ups
// drift; the autopilots steer; the ships' timers count down; the window is invalidated.
// Each frame is drawn whole into an off-screen surface and copied to the window once.
#include "armament/PowerUp.h"
#include "combat/Explosion.h"
#include "platform/gdi/DC.h"
#include "platform/wnd/Wnd.h"
#include "sentry/Sentry.h"
#include "ships/Ship.h"

class CArenaView : public CWnd
{
public:
    static constexpr int kShipSlots = 6;
    static constexpr int kPowerUpSlots = 4;
    static constexpr int kSentryTarget = 6;  // a ship's m_target that names the sentry
    static constexpr UINT kTimerId = 1;
    static constexpr UINT kTickMilliseconds = 25;

    int m_shipCount;
    CShip m_ships[kShipSlots];
    CExplosion m_explosions[kShipSlots];
    CSentry m_sentry;
    CPowerUp m_powerUps[kPowerUpSlots];
    bool m_paused;
    CDC m_memDC;
    CBitmap m_memBitmap;

    CArenaView();
    ~CArenaView() override;

    const MessageMap* GetMessageMap() const override;
    bool PreCreateWindow(CREATESTRUCT& cs) override;

    void OnShowWindow(bool show, UINT status);
    void OnTimer(UINT_PTR timerId);

    void OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags);
    void OnKeyUp(UINT virtualKey, UINT repeatCount, UINT flags);
    void PollKeyboard();

    void OnSize(UINT type, int width, int height);
    bool OnEraseBkgnd(CDC* dc);
    void OnPaint();

    void ResolveCombat();

private:
    int ChooseSentryTarget() const;
    void RunAutopilot(CShip& ship);
    void DrawFrame(const CRect& client);

    void HitShipByShip(int shooter, int target, CBullet& bullet, CRect& targetBox);
    void HitSentry(int shooter, CBullet& bullet);
    void HitShipBySentry(int target, CBullet& bullet);
    void PickUp(int target, CPowerUp& powerUp);

    static const MessageMap s_messageMap;
};
