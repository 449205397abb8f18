#pragma once
// CShip: one of the six ships. It flies with momentum, wraps at the client edges, holds
// its speed under 5 pixels a tick (10 with a boost), carries ten bullets and a pointer
// to one of the shared weapons, and can be flown by its autopilot.
#include <climits>

#include "core/Body.h"
#include "core/Bullet.h"
#include "platform/gdi/Colour.h"
#include "platform/gdi/GdiObjects.h"

class CDC;
class CWeapon;

class CShip : public CBody
{
public:
    static constexpr int kBulletCount = 10;
    static constexpr int kFullHitPoints = 25;
    static constexpr int kRespawnTicks = 15;
    static constexpr double kSpeedLimit = 5.0;
    static constexpr double kBoostedSpeedLimit = 10.0;
    static constexpr double kThrustStep = 0.15;
    static constexpr double kTurnDegrees = 6.0;
    // The cooldown counts down every tick while nothing fires; it stops here so that
    // a game left running for years never overflows it.
    static constexpr int kCooldownFloor = INT_MIN;

    bool m_hit;
    bool m_autopilot;
    int m_boostTimer;
    int m_hitPoints;
    int m_invulnerableTimer;
    int m_index;
    int m_score;
    int m_deaths;
    int m_cooldown;
    CPen m_pen;
    CWeapon* m_weapon;
    CBullet m_bullets[kBulletCount];
    int m_target;
    COLORREF m_colour = RGB(255, 255, 255);

    CShip();

    void SetColour(COLORREF colour);
    void Respawn(double posX, double posY, double velX, double velY, double headX, double headY);
    void Update(const CRect& client);
    void Thrust(int direction);
    void TurnLeft();
    void TurnRight();
    int FindFreeBullet() const override;

    void Draw(CDC* dc);
    // The same in another pen (a palette's colour instead of the ship's own).
    void Draw(CDC* dc, CPen& pen);

    void SteerToward(const CBody& target);
    int PickTarget() const;
};
