// The five weapons' guards, volleys and cooldowns; power-ups' spawn, life, drawing and effects.
#include "armament/PowerUp.h"
#include "armament/Weapon.h"
#include "ships/Ship.h"
#include "support/TestSupport.h"

using testsupport::Near;

// By the number a random-weapon power-up draws for them.
const CWeapon* const kWeapons[] = {&g_singleShotWeapon, &g_spreadWeapon, &g_ringWeapon, &g_stackedShotWeapon,
                                   &g_starBurstWeapon};

class ArmamentTest : public testsupport::PinnedRandomTest
{
protected:
    // At (30, 40), heading (7.07, 0), velocity (1, 0); the slots from freeSlots on are in flight.
    CShip& Armed(int cooldown = 0, int freeSlots = 10)
    {
        m_ship.Respawn(30, 40, 1, 0, 7.07, 0);
        m_ship.m_cooldown = cooldown;
        for (int i = 0; i < CShip::kBulletCount; ++i)
            std::tie(m_ship.m_bullets[i].m_active, m_ship.m_bullets[i].m_life) = std::pair(i >= freeSlots, 0);
        return m_ship;
    }

    CShip m_ship;
};

TEST_F(ArmamentTest, Weapons)
{
    const CWeapon *const single = kWeapons[0], *spread = kWeapons[1], *ring = kWeapons[2], *stacked = kWeapons[3];
    const CWeapon* const star = kWeapons[4];
    // Cooldown and free slots before; bullets launched, life of the first, cooldown after.
    const std::tuple<const CWeapon*, int, int, int, int, int> cases[] = {
        {single, 1, 10, 0, 0, 1},  {single, -4, 1, 1, 18, 2},  {spread, 1, 10, 0, 0, 1},   {spread, 0, 2, 0, 0, 0},
        {spread, -4, 3, 3, 18, 6}, {ring, 1, 10, 10, 25, 1},   {ring, -4, 9, 0, 0, -4},    {stacked, 1, 10, 0, 0, 1},
        {stacked, 0, 2, 0, 0, 0},  {stacked, -4, 3, 3, 20, 6}, {star, 1, 10, 0, 0, 1},     {star, -4, 10, 5, 2, 0},
        {star, -2, 3, 3, 2, -2}};  // stops short and leaves the cooldown
    const CShip& s = m_ship;
    for (const auto& [weapon, cooldown, slots, launched, life, after] : cases) {
        weapon->Fire(&Armed(cooldown, slots));
        EXPECT_EQ(std::tuple(testsupport::ActiveBullets(s.m_bullets) + slots - 10, s.m_bullets[0].m_life, s.m_cooldown),
                  std::tuple(launched, life, after)) << cooldown << " " << slots << " " << launched;
    }
    single->Fire(&Armed());
    EXPECT_TRUE(Near(m_ship.m_bullets[0].m_velocity, 22.21, 0, 1e-12));
    EXPECT_TRUE(Near(m_ship.m_bullets[0].m_position, 30, 40, 0));
    Armed().m_heading = CVector2(0, 7.07);
    ring->Fire(&m_ship);
    for (int j = 0; j < 3; ++j)  // 45 degrees anticlockwise of the heading, then 9, then 27 clockwise
        EXPECT_NEAR(m_ship.m_bullets[j].m_velocity.Angle(), 45 + 36 * j, 1e-6) << j;
}

TEST_F(ArmamentTest, PowerUps)
{
    CPowerUp p;
    p.Spawn(CPoint(200, 300), CPoint(3, 0), CPoint(5, 0));
    EXPECT_TRUE(Near(p.m_velocity, 0.6, 0.02, 1e-15) && p.m_life == 250 && p.m_active);
    p.Spawn(CPoint(100, 100), CPoint(0, 0), CPoint(5, 0));
    EXPECT_TRUE(Near(p.m_velocity, 0.02, 0.02, 1e-15));
    // A fresh colour every call, red, green and blue drawn in that order. The third tip lies a few
    // billionths left of x = 100 and truncates to 99.
    testsupport::ReferenceRandom reference = Reference();
    const int red = reference.Range(0, 255), green = reference.Range(0, 255), blue = reference.Range(0, 255);
    testsupport::Surface actual(200, 200), expected(200, 200);
    CPen* const pen = actual.Dc()->GetCurrentPen();
    p.Draw(actual.Dc());
    EXPECT_EQ(actual.Dc()->GetCurrentPen(), pen);
    for (const CPoint tip : {CPoint(107, 100), CPoint(100, 107), CPoint(99, 92), CPoint(92, 100)})
        expected.Path(RGB(std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue)), {{100, 100}, tip});
    EXPECT_EQ(actual.Lit(), expected.Lit());
    p.m_life = 1;  // ends with its last move and 30 degree spin, then stays
    p.Update(CRect(0, 0, 800, 600));
    p.Update(CRect(0, 0, 800, 600));
    EXPECT_TRUE(!p.m_active && Near(p.m_position, 100.02, 100.02) && Near(p.m_heading, 4.330127019, 2.5, 1e-8));

    // Kind; hit points, boost and invulnerability after, from 25, 40 and 40; the weapon is kept.
    const std::tuple<int, int, int, int> effects[] = {{1, 25, 40, 40}, {3, 25, 150, 40}, {4, 29, 40, 40},
                                                      {5, 25, 40, 100}, {6, 27, 40, 40}, {10, 25, 40, 40}};
    CShip& s = m_ship;
    for (const auto& [kind, hitPoints, boost, invulnerable] : effects) {
        std::tie(s.m_hitPoints, s.m_boostTimer, s.m_invulnerableTimer) = std::tuple(25, 40, 40);
        std::tie(p.m_kind, p.m_active) = std::pair(kind, true);
        p.ApplyTo(&s);
        EXPECT_EQ(std::tuple(p.m_active, s.m_hitPoints, s.m_boostTimer, s.m_invulnerableTimer, s.m_weapon),
                  std::tuple(false, hitPoints, boost, invulnerable, &g_singleShotWeapon)) << kind;
    }
    // Kinds 0, 2, 7, 8 and 9 draw a weapon.
    const int kinds[] = {0, 2, 7, 8, 9};
    for (int i = 0; i < 40; ++i) {
        std::tie(p.m_kind, p.m_active, s.m_weapon) = std::tuple(kinds[i % 5], true, nullptr);
        p.ApplyTo(&s);
        EXPECT_EQ(s.m_weapon, kWeapons[reference.Range(0, 4)]) << i;
    }
}
