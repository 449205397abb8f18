#include "ships/Ship.h"

#include "armament/Weapon.h"
#include "core/RandomRange.h"

CShip::CShip()
{
    m_hit = false;
    m_hitPoints = kFullHitPoints;
    m_velocity = CVector2(0.0, 0.0);
    m_heading = CVector2(0.0, 2.0);
    const int x = RandomRange(1, 500);
    const int y = RandomRange(1, 500);
    m_position = CVector2(x, y);
    m_score = 0;
    m_weapon = &g_singleShotWeapon;
    m_autopilot = true;
    m_index = -1;
    m_invulnerableTimer = 0;
    m_boostTimer = 0;
    m_deaths = 0;
    m_cooldown = 0;
    m_target = 0;
}

void CShip::SetColour(COLORREF colour)
{
    m_pen.CreatePen(PS_SOLID, 1, colour);
    m_colour = colour;
}

void CShip::Respawn(double posX, double posY, double velX, double velY, double headX, double headY)
{
    m_hit = false;
    m_position = CVector2(posX, posY);
    m_velocity = CVector2(velX, velY);
    m_heading = CVector2(headX, headY);
    m_invulnerableTimer = kRespawnTicks;
    m_hitPoints = kFullHitPoints;
    if (m_boostTimer < kRespawnTicks)
        m_boostTimer = kRespawnTicks;
    if (m_autopilot)
        m_target = PickTarget();
}

void CShip::Update(const CRect& client)
{
    m_position += m_velocity;
    m_position.Wrap(client.Width(), client.Height());
    if (m_velocity.Length() > kSpeedLimit && m_boostTimer == 0)
        m_velocity.SetLength(kSpeedLimit);
    for (CBullet& bullet : m_bullets) {
        if (bullet.m_active)
            bullet.Update(client);
    }
    if (m_cooldown > kCooldownFloor)
        m_cooldown -= 1;
}

void CShip::Thrust(int direction)
{
    const double speed = m_velocity.Length();
    if (speed > kSpeedLimit && m_boostTimer == 0)
        m_velocity.SetLength(kSpeedLimit);
    else if (speed > kBoostedSpeedLimit && m_boostTimer != 0)
        m_velocity.SetLength(kBoostedSpeedLimit);
    m_velocity += (m_heading * static_cast<double>(direction)) * kThrustStep;
}

void CShip::TurnLeft() { m_heading.Rotate(-kTurnDegrees); }

void CShip::TurnRight() { m_heading.Rotate(kTurnDegrees); }

int CShip::FindFreeBullet() const { return FindInactiveBullet(m_bullets); }
