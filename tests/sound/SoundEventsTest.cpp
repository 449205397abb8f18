// What a tick sounds like: the events found between the arena before a tick and after it.
#include <gtest/gtest.h>

#include <vector>

#include "arena/Arena.h"
#include "armament/Weapon.h"
#include "sound/SoundEvents.h"
#include "support/TestSupport.h"

namespace {

using Sounds = std::vector<std::pair<Effect, float>>;

void Fly(CBullet& bullet, int life)
{
    bullet.m_active = true;
    bullet.m_life = life;
}

class SoundEventsTest : public testsupport::PinnedRandomTest
{
protected:
    void SetUp() override
    {
        before.m_size = CSize{800, 600};
        for (CPowerUp& powerUp : before.m_powerUps)
            powerUp.m_active = false;
        for (CShip& ship : before.m_ships)
            ship.m_hit = false;
        after = before;
    }

    Sounds Heard() const
    {
        const SoundEvents events = DeriveSoundEvents(before, after);
        Sounds heard;
        for (int i = 0; i < events.count; ++i)
            heard.emplace_back(events.items[i].effect, events.items[i].pan);
        return heard;
    }

    CArena before;
    CArena after;
};

}  // namespace

TEST_F(SoundEventsTest, ShotsSoundByTheWeaponThatFiredThem)
{
    CShip& ship = after.m_ships[1];  // on autopilot: fires after a pick-up, with the new weapon
    before.m_ships[1].m_position = ship.m_position = CVector2(600, 300);
    ship.m_weapon = &g_spreadWeapon;
    for (int i = 0; i < 3; ++i)
        Fly(ship.m_bullets[i], 18);
    CShip& player = after.m_ships[0];  // keys fire before combat, with the old weapon
    before.m_ships[0].m_position = player.m_position = CVector2(0, 0);
    player.m_autopilot = false;
    player.m_weapon = &g_ringWeapon;
    Fly(player.m_bullets[4], 18);
    // A bullet in flight is no shot; one in a slot freed this tick is.
    Fly(before.m_sentry.m_bullets[0], 7);
    Fly(after.m_sentry.m_bullets[0], 6);
    Fly(before.m_sentry.m_bullets[1], 3);
    Fly(after.m_sentry.m_bullets[1], 10);
    after.m_sentry.m_position = CVector2(400, 0);
    EXPECT_EQ(Heard(),
              (Sounds{{Effect::ShotSingle, -1.0f}, {Effect::ShotSpread, 0.5f}, {Effect::SentryShot, 0.0f}}));
}

TEST_F(SoundEventsTest, HitsDeathsAndTheSentryDestroyed)
{
    after.m_ships[0].m_hitPoints -= 1;
    after.m_ships[0].m_position = CVector2(200, 0);
    after.m_ships[1].m_deaths += 1;
    after.m_explosions[1].m_particles[0].m_position = CVector2(800, 0);
    after.m_ships[1].m_position = CVector2(0, 0);
    before.m_sentry.m_position = CVector2(600, 0);
    after.m_sentry.m_deaths += 1;
    EXPECT_EQ(Heard(), (Sounds{{Effect::HitSpark, -0.5f},
                                             {Effect::ShipExplosion, 1.0f},
                                             {Effect::Respawn, -1.0f},
                                             {Effect::SentryDestroyed, 0.5f}}));
}

TEST_F(SoundEventsTest, PickUpsSoundTheirEffectAndExpiryIsSilent)
{
    for (CPowerUp& powerUp : before.m_powerUps) {
        powerUp.m_active = true;
        powerUp.m_life = 120;
        powerUp.m_position = CVector2(400, 0);
    }
    after = before;
    after.m_powerUps[0].m_active = false;  // taken: life left
    after.m_powerUps[0].m_kind = 3;
    after.m_powerUps[1].m_active = false;  // expired
    after.m_powerUps[1].m_life = 0;
    after.m_powerUps[2].m_life = 249;  // taken, and a drop filled the slot again
    after.m_powerUps[2].m_kind = 5;
    after.m_powerUps[3].m_life = 119;  // drifting on
    EXPECT_EQ(Heard(), (Sounds{{Effect::PowerUpSpeed, 0.0f}, {Effect::PowerUpInvulnerable, 0.0f}}));
    const Effect byKind[] = {Effect::PowerUpWeapon, Effect::PowerUpNothing, Effect::PowerUpWeapon, Effect::PowerUpSpeed,
                             Effect::PowerUpHitPoints, Effect::PowerUpInvulnerable, Effect::PowerUpHitPoints,
                             Effect::PowerUpWeapon, Effect::PowerUpWeapon, Effect::PowerUpWeapon, Effect::PowerUpNothing};
    for (int kind = 0; kind <= 10; ++kind)
        EXPECT_EQ(PowerUpSound(kind), byKind[kind]) << kind;
}

TEST_F(SoundEventsTest, PauseSoundsAloneAndResumeLetsTheTickBeHeard)
{
    before.m_ships[0].m_position = after.m_ships[0].m_position = CVector2(400, 0);
    after.m_paused = true;
    Fly(after.m_ships[0].m_bullets[0], 18);
    EXPECT_EQ(Heard(), (Sounds{{Effect::Pause, 0.0f}}));
    before.m_paused = true;
    after.m_paused = false;
    EXPECT_EQ(Heard(), (Sounds{{Effect::Resume, 0.0f}, {Effect::ShotSingle, 0.0f}}));
}
