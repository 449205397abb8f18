#pragma once
// A random session at the arena with every tick checked against the rules a tick keeps
// whatever keys, sizes and autopilots it meets: shared by the endurance test, the soak
// run and the fuzz target.
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>

#include "arena/ArenaView.h"
#include "platform/wnd/Keyboard.h"

namespace arenacheck {

// Starts at 800 x 600 with six ships and the sentry on autopilot; pick(n) answers a
// number in 0..n-1. Most steps are checked ticks; the others press or release a key the
// game reads (never Escape, whose key-down ends the process), resize the client up to
// maxWidth x maxHeight (sides of 0 and 1 come up often), paint a frame of modest size, or,
// when pauses are asked for, pause or resume.
class Driver
{
public:
    Driver(CArenaView& arena, int maxWidth, int maxHeight, bool pauses)
        : m_arena(arena), m_maxWidth(maxWidth), m_maxHeight(maxHeight), m_pauses(pauses)
    {
        m_arena.m_shipCount = CArenaView::kShipSlots;
        for (CShip& ship : m_arena.m_ships)
            ship.m_autopilot = true;
        Resize(800, 600);
    }

    // Answers every rule the step broke; empty when all held.
    template <class Pick>
    std::string Step(Pick&& pick)
    {
        static constexpr UINT kKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN, 'A', 'D', 'S', 'W', VK_SPACE,
                                         VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD5, VK_NUMPAD8, VK_ADD, 'J', 'K', 'L',
                                         VK_F1, VK_F2, VK_F3, VK_F4, VK_PRIOR, VK_NEXT};
        const unsigned op = pick(256u);
        if (op < 32) {
            const UINT key = kKeys[pick(unsigned(std::size(kKeys)))];
            if (op < 16) {
                KeyboardPress(key, key + 8, false);
                m_arena.OnKeyDown(key, 1, 0);
            } else if (const UINT released = KeyboardRelease(key, key + 8, false)) {
                m_arena.OnKeyUp(released, 1, 0);
            }
        } else if (op == 32) {
            const auto side = [&pick](int most) { return int(pick(8u) == 0 ? pick(2u) : pick(unsigned(most) + 1)); };
            const int w = side(m_maxWidth);
            Resize(w, side(m_maxHeight));
        } else if (op == 33 && width * height <= 640 * 480) {
            m_arena.OnPaint();
        } else if (op == 34 && m_pauses) {
            m_arena.OnKeyUp('P', 1, 0);
        } else if (op > 34) {
            for (int i = 0; i < CArenaView::kShipSlots; ++i)
                m_deaths[i] = m_arena.m_ships[i].m_deaths;
            m_sentry = m_arena.m_sentry.m_position;
            m_arena.OnTimer(CArenaView::kTimerId);
            ++ticks;
            // A paused tick moves nothing, so nothing was folded into a client resized meanwhile.
            return m_arena.m_paused ? std::string() : Check();
        }
        return {};
    }

    int width = 0, height = 0;
    long long ticks = 0;

private:
    void Resize(int w, int h)
    {
        m_arena.SetDetachedClientSize(width = w, height = h);
        m_arena.OnSize(SIZE_RESTORED, w, h);
    }

    // Nothing is NaN or infinite. Whatever the tick moved lies folded into the client, in
    // [0, size] (the size itself being the fold of an exact negative multiple), an axis of
    // size 0 folding nothing: ships in play that did not die, their bullets, the running
    // debris of ships in play, power-ups, and sentry bullets but those just fired from where
    // the sentry stands or stood. Ships in play have hit points; one that died was respawned,
    // and being invulnerable from then on it still has its full hit points.
    std::string Check() const
    {
        std::string broken;
        const auto check = [&](const CBody& body, bool folded, const char* what, int slot) {
            const CVector2 &p = body.m_position, &v = body.m_velocity, &h = body.m_heading;
            // The sum is finite only when every term is.
            if (std::isfinite(p.m_x + p.m_y + v.m_x + v.m_y + h.m_x + h.m_y) &&
                (!folded || ((width == 0 || (p.m_x >= 0 && p.m_x <= width)) &&
                             (height == 0 || (p.m_y >= 0 && p.m_y <= height)))))
                return;
            char text[160];
            std::snprintf(text, sizeof text, "%s %d at (%.17g, %.17g) moving (%.17g, %.17g); ", what, slot, p.m_x,
                          p.m_y, v.m_x, v.m_y);
            broken += text;
        };
        for (int i = 0; i < CArenaView::kShipSlots; ++i) {
            const CShip& ship = m_arena.m_ships[i];
            const CExplosion& explosion = m_arena.m_explosions[i];
            const bool inPlay = i < m_arena.m_shipCount;
            const bool died = ship.m_deaths != m_deaths[i];
            check(ship, inPlay && !died, "ship", i);
            for (const CBullet& bullet : ship.m_bullets)
                check(bullet, inPlay && !died && bullet.m_active, "bullet of ship", i);
            for (const CBullet& particle : explosion.m_particles)
                check(particle, inPlay && explosion.m_active && particle.m_active, "debris of ship", i);
            const bool respawned =
                ship.m_invulnerableTimer >= CShip::kRespawnTicks - 1 && ship.m_hitPoints >= CShip::kFullHitPoints;
            if (inPlay && (ship.m_hitPoints < 1 || (died && !respawned)))
                broken += "ship " + std::to_string(i) + " in play without hit points, or dead and not respawned; ";
        }
        const CSentry& sentry = m_arena.m_sentry;
        check(sentry, false, "sentry", 0);
        const auto same = [](const CVector2& a, const CVector2& b) { return a.m_x == b.m_x && a.m_y == b.m_y; };
        for (const CBullet& b : sentry.m_bullets)
            check(b, b.m_active && !same(b.m_position, sentry.m_position) && !same(b.m_position, m_sentry),
                  "bullet of the sentry", 0);
        for (int p = 0; p < CArenaView::kPowerUpSlots; ++p)
            check(m_arena.m_powerUps[p], m_arena.m_powerUps[p].m_active, "power-up", p);
        return broken;
    }

    CArenaView& m_arena;
    const int m_maxWidth;
    const int m_maxHeight;
    const bool m_pauses;
    int m_deaths[CArenaView::kShipSlots] = {};
    CVector2 m_sentry;
};

}  // namespace arenacheck
