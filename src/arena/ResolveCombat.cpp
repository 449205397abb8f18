// The combat pass: every hit, kill, respawn, drop and pick-up of a tick, in one fixed
// order. Each ship is tested as a target inside the shooter loop, so ties go to the
// lower-indexed ship. The sentry's box is taken once per pass: after it is destroyed
// and placed elsewhere, bullets at its old place still hit it for the rest of the pass.
#include "arena/Arena.h"
#include "core/RandomRange.h"

namespace {

constexpr int kRespawnArea = 500;
constexpr double kRespawnHeading = 5.0;
constexpr int kKillByShipPenalty = 5;
constexpr int kKillBySentryPenalty = 1;
constexpr int kSentryDestroyedPenalty = 5;
constexpr int kSentryDestroyedReward = 10;

void RespawnAfterDeath(CShip& ship)
{
    const int y = RandomRange(1, kRespawnArea);
    const int x = RandomRange(1, kRespawnArea);
    ship.Respawn(x, y, ship.m_velocity.m_x / 4.0, ship.m_velocity.m_y / 4.0, kRespawnHeading, kRespawnHeading);
}

}  // namespace

void CArena::ResolveCombat()
{
    const CRect sentryBox = m_sentry.GetBounds();

    for (int i = 0; i < m_shipCount; ++i) {
        for (int j = 0; j < m_shipCount; ++j) {
            CRect targetBox = m_ships[j].GetBounds();
            for (int k = 0; k < CShip::kBulletCount; ++k) {
                CBullet& shot = m_ships[i].m_bullets[k];
                if (shot.m_active && i != j) {
                    const CPoint point = shot.m_position.ToPoint();
                    if (targetBox.PtInRect(point) && m_ships[j].m_invulnerableTimer == 0)
                        HitShipByShip(i, j, shot, targetBox);
                    if (sentryBox.PtInRect(point))
                        HitSentry(i, shot);
                }

                CBullet& sentryShot = m_sentry.m_bullets[k];
                if (m_ships[j].m_invulnerableTimer == 0 && sentryShot.m_active &&
                    targetBox.PtInRect(sentryShot.m_position.ToPoint()))
                    HitShipBySentry(j, sentryShot);

                for (CPowerUp& powerUp : m_powerUps) {
                    if (powerUp.m_active && targetBox.PtInRect(powerUp.m_position.ToPoint()))
                        PickUp(j, powerUp);
                }
            }
        }
    }
}

void CArena::HitShipByShip(int shooter, int target, CBullet& bullet, CRect& targetBox)
{
    CShip& ship = m_ships[target];
    ship.m_hitPoints -= 1;
    ship.m_hit = true;
    m_ships[shooter].m_score += 1;
    bullet.m_active = false;
    if (ship.m_hitPoints != 0)
        return;

    for (CPowerUp& powerUp : m_powerUps) {
        if (!powerUp.m_active) {
            powerUp.Spawn(ship.m_position.ToPoint(), (ship.m_velocity / 2.0).ToPoint(), ship.m_heading.ToPoint());
            break;
        }
    }
    m_explosions[target].Start(ship);
    RespawnAfterDeath(ship);
    ship.m_deaths += 1;
    ship.m_score -= kKillByShipPenalty;
    targetBox = ship.GetBounds();
}

void CArena::HitSentry(int shooter, CBullet& bullet)
{
    bullet.m_active = false;
    m_sentry.m_hitPoints -= 1;
    if (m_sentry.m_hitPoints > 0)
        return;

    const CPoint at = m_sentry.m_position.ToPoint();
    for (CPowerUp& powerUp : m_powerUps) {
        if (powerUp.m_active)
            continue;
        const int b = RandomRange(1, 5);
        const int a = RandomRange(1, 5);
        powerUp.Spawn(at, CPoint(a, b), CPoint(5, 0));
    }
    const int y = RandomRange(1, kSentryArea);
    const int x = RandomRange(1, kSentryArea);
    m_sentry.Place(CPoint(x, y), CPoint(10, 0), CSentry::kHitPoints);
    m_sentry.m_deaths += 1;
    m_sentry.m_score -= kSentryDestroyedPenalty;
    m_ships[shooter].m_score += kSentryDestroyedReward;
}

void CArena::HitShipBySentry(int target, CBullet& bullet)
{
    CShip& ship = m_ships[target];
    bullet.m_active = false;
    ship.m_hitPoints -= 1;
    ship.m_hit = true;
    m_sentry.m_score += 1;
    if (ship.m_hitPoints != 0)
        return;

    m_explosions[target].Start(ship);
    RespawnAfterDeath(ship);
    ship.m_deaths += 1;
    ship.m_score -= kKillBySentryPenalty;
}

void CArena::PickUp(int target, CPowerUp& powerUp)
{
    powerUp.m_kind = RandomRange(0, 9);
    powerUp.ApplyTo(&m_ships[target]);
}
