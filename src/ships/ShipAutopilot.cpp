// The ship's autopilot: turn 5 degrees a tick toward where the target will be one tick
// later, fire and accelerate when the heading lies 0 to 5 degrees clockwise of it.
#include "armament/Weapon.h"
#include "core/RandomRange.h"
#include "ships/Ship.h"

namespace {

constexpr int kFireWindowDegrees = 6;
constexpr double kAutopilotTurnDegrees = 5.0;

}  // namespace

int CShip::PickTarget() const { return RandomRange(0, 6); }

void CShip::SteerToward(const CBody& target)
{
    const CVector2 aim = target.m_position + target.m_velocity;
    const CVector2 d = aim - m_position;
    const int free = FindFreeBullet();
    double h = m_heading.Angle();
    if (h < 0.0)
        h += 360.0;
    const int diff = TruncToInt(h - d.Angle() + 360.0) % 360;

    if (diff < kFireWindowDegrees && free >= 0) {
        m_weapon->Fire(this);
        Thrust(1);
    } else if (diff > 180) {
        m_heading.Rotate(kAutopilotTurnDegrees);
    } else if (diff < 180) {
        m_heading.Rotate(-kAutopilotTurnDegrees);
    }

    if (m_weapon == &g_starBurstWeapon) {
        m_weapon->Fire(this);
        Thrust(1);
    }
}
