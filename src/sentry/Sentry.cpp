#include "sentry/Sentry.h"

namespace {

constexpr double kManualTurnDegrees = 10.0;
constexpr double kAutopilotTurnDegrees = 5.0;
constexpr int kAimWindowDegrees = 5;

}  // namespace

CSentry::CSentry()
{
    m_heading = CVector2(0.0, 10.0);
    m_position = CVector2(0.0, 0.0);
}

void CSentry::Place(CPoint position, CPoint heading, int hitPoints)
{
    m_position = CVector2(position.x, position.y);
    m_heading = CVector2(heading.x, heading.y);
    m_hitPoints = hitPoints;
}

void CSentry::TurnLeft() { m_heading.Rotate(-kManualTurnDegrees); }

void CSentry::TurnRight() { m_heading.Rotate(kManualTurnDegrees); }

int CSentry::FindFreeBullet() const { return FindInactiveBullet(m_bullets); }

void CSentry::Fire(int slot)
{
    if (slot < 0 || slot >= kBulletCount)
        return;
    CBullet& bullet = m_bullets[slot];
    bullet.m_active = true;
    bullet.m_velocity = m_heading * 2.0 + m_velocity;
    bullet.m_position = m_position;
    bullet.m_life = kBulletLife;
}

void CSentry::UpdateBullets(const CRect& client)
{
    for (CBullet& bullet : m_bullets) {
        if (bullet.m_active)
            bullet.Update(client);
    }
}

void CSentry::TrackTarget(const CBody& target)
{
    const CVector2 d = target.m_position - m_position;
    const int slot = FindFreeBullet();
    double h = m_heading.Angle();
    if (h < 0.0)
        h += 360.0;
    const double t = d.Angle();
    const int e = TruncToInt(h - t + 360.0) % 360;

    if (e < kAimWindowDegrees && slot != -1) {
        if (d.Length() < kFiringRange)
            Fire(slot);
        return;
    }
    if (e > 180)
        m_heading.Rotate(kAutopilotTurnDegrees);
    else if (e < 180)
        m_heading.Rotate(-kAutopilotTurnDegrees);
}
