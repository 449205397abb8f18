#include "armament/PowerUp.h"

#include "armament/Weapon.h"
#include "core/RandomRange.h"
#include "platform/gdi/DC.h"
#include "ships/Ship.h"

namespace {

constexpr double kSpawnDrift = 0.2;
constexpr double kSpinDegrees = 30.0;
constexpr double kArmScale = 1.5;

CWeapon* const kWeaponByDraw[] = {
    &g_singleShotWeapon, &g_spreadWeapon, &g_ringWeapon, &g_stackedShotWeapon, &g_starBurstWeapon,
};

}  // namespace

CPowerUp::CPowerUp() { Spawn(CPoint(10, 10), CPoint(0, 1), CPoint(5, 0)); }

void CPowerUp::Spawn(CPoint position, CPoint velocity, CPoint heading)
{
    m_active = true;
    m_position = CVector2(position.x, position.y);
    m_heading = CVector2(heading.x, heading.y);
    m_velocity = CVector2(velocity.x, velocity.y);
    m_velocity.ScaleNonZero(kSpawnDrift);
    m_life = kLifeTicks;
}

void CPowerUp::Update(const CRect& client)
{
    if (m_active) {
        m_position += m_velocity;
        m_position.Wrap(client.Width(), client.Height());
        m_heading.Rotate(kSpinDegrees);
        m_life -= 1;
    }
    if (m_life == 0)
        m_active = false;
}

void CPowerUp::Draw(CDC* dc) const
{
    // The three draws happen on every call, active or not: they are part of the sequence.
    const int red = RandomRange(0, 255);
    const int green = RandomRange(0, 255);
    const int blue = RandomRange(0, 255);
    CPen pen(PS_SOLID, 1, RGB(std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue)));
    CPen* const previousPen = dc->SelectObject(&pen);

    CVector2 arm = m_heading * kArmScale;
    if (m_active) {
        const CPoint centre = m_position.ToPoint();
        for (int k = 1; k <= 4; ++k) {
            dc->MoveTo(centre);
            dc->LineTo((m_position + arm).ToPoint());
            arm.Rotate(k * 90.0);
        }
    }

    dc->SelectObject(previousPen);
    pen.DeleteObject();
}

void CPowerUp::ApplyTo(CShip* ship)
{
    m_active = false;
    switch (m_kind) {
    case 0:
    case 2:
    case 7:
    case 8:
    case 9:
        ship->m_weapon = kWeaponByDraw[RandomRange(0, 4)];
        break;
    case 3:
        ship->m_boostTimer = 150;
        break;
    case 4:
        ship->m_hitPoints += 4;
        break;
    case 5:
        ship->m_invulnerableTimer = 100;
        break;
    case 6:
        ship->m_hitPoints += 2;
        break;
    default:
        break;
    }
}
