#pragma once
// CSentry: the fixed turret. It turns its barrel and fires its own ten bullets, under
// its autopilot or the J, K and L keys, and is placed anew when destroyed.
#include "core/Body.h"
#include "core/Bullet.h"
#include "platform/gdi/Geometry.h"

class CDC;

class CSentry : public CBody
{
public:
    static constexpr int kBulletCount = 10;
    static constexpr int kHitPoints = 15;
    static constexpr int kBulletLife = 10;
    static constexpr double kFiringRange = 250.0;

    int m_hitPoints = 20;
    int m_score = 0;
    int m_deaths = 0;
    bool m_autopilot = true;
    CBullet m_bullets[kBulletCount];

    CSentry();

    void Place(CPoint position, CPoint heading, int hitPoints);
    void TurnLeft();
    void TurnRight();
    int FindFreeBullet() const override;
    // Fires bullet slot; a slot outside 0..9 is ignored.
    void Fire(int slot);
    void UpdateBullets(const CRect& client);
    void TrackTarget(const CBody& target);

    void Draw(CDC* dc) const;
};
