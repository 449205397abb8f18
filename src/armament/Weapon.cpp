// The five weapons. Each launches bullets from free slots of the firing ship: active,
// at the ship's position, with a velocity built from its heading and a life in ticks.
#include "armament/Weapon.h"

#include "ships/Ship.h"

// Constructed before the application, in this order; stateless, so order matters only
// for being there first.
CRingWeapon g_ringWeapon;
CSingleShotWeapon g_singleShotWeapon;
CSpreadWeapon g_spreadWeapon;
CStackedShotWeapon g_stackedShotWeapon;
CStarBurstWeapon g_starBurstWeapon;

namespace {

void Launch(CShip* owner, int slot, const CVector2& velocity, int life)
{
    CBullet& bullet = owner->m_bullets[slot];
    bullet.m_active = true;
    bullet.m_velocity = velocity;
    bullet.m_position = owner->m_position;
    bullet.m_life = life;
}

int CountFreeBullets(const CShip* owner)
{
    int free = 0;
    for (const CBullet& bullet : owner->m_bullets) {
        if (!bullet.m_active)
            ++free;
    }
    return free;
}

}  // namespace

void CWeapon::Fire(CShip*) const {}

void CSingleShotWeapon::Fire(CShip* owner) const
{
    if (owner->m_cooldown > 0)
        return;
    const int i = owner->FindFreeBullet();
    if (i < 0)
        return;
    Launch(owner, i, owner->m_heading * 3.0 + owner->m_velocity, 18);
    owner->m_cooldown = 2;
}

void CSpreadWeapon::Fire(CShip* owner) const
{
    if (owner->m_cooldown > 0)
        return;
    if (CountFreeBullets(owner) < 3)
        return;
    for (int j = 0; j < 3; ++j) {
        const int i = owner->FindFreeBullet();
        CVector2 velocity = owner->m_heading * 2.5 + owner->m_velocity * 0.5;
        velocity.Rotate(5.0 * j - 5.0);
        Launch(owner, i, velocity, 18);
        owner->m_cooldown = 6;
    }
}

void CRingWeapon::Fire(CShip* owner) const
{
    if (CountFreeBullets(owner) != CShip::kBulletCount)
        return;
    for (int j = 0; j < CShip::kBulletCount; ++j) {
        const int i = owner->FindFreeBullet();
        CVector2 velocity = owner->m_heading;
        velocity.SetLength(1.0);
        velocity.Rotate(36.0 * j - 45.0);
        Launch(owner, i, velocity, 25);
    }
}

void CStackedShotWeapon::Fire(CShip* owner) const
{
    if (owner->m_cooldown > 0)
        return;
    if (CountFreeBullets(owner) < 3)
        return;
    for (int n = 0; n < 3; ++n) {
        const int i = owner->FindFreeBullet();
        CVector2 velocity = owner->m_heading * 3.0;
        velocity += owner->m_velocity;
        Launch(owner, i, velocity, 20);
    }
    owner->m_cooldown = 6;
}

void CStarBurstWeapon::Fire(CShip* owner) const
{
    if (owner->m_cooldown > 0)
        return;
    for (int j = 0; j < 5; ++j) {
        const int i = owner->FindFreeBullet();
        if (i < 0)
            return;
        CVector2 velocity = owner->m_heading * 2.0;
        velocity.Rotate(72.0 * j);
        Launch(owner, i, velocity, 2);
    }
    owner->m_cooldown = 0;
}
