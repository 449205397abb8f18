#include "combat/Explosion.h"

#include "core/RandomRange.h"
#include "platform/gdi/DC.h"

namespace {

constexpr COLORREF kDebrisColour = 0x6496;

}  // namespace

void CExplosion::Start(const CBody& source)
{
    m_active = true;
    for (CBullet& particle : m_particles) {
        particle.m_active = true;
        particle.m_position = source.m_position;
        const int vx = RandomRange(1, 3) - 1;
        const int vy = RandomRange(1, 3) - 1;
        particle.m_velocity = CVector2(vx, vy);
    }
    for (CBullet& particle : m_particles) {
        particle.m_velocity.Rotate(RandomRange(50, 1000));
        particle.m_life = RandomRange(5, 25);
    }
    m_ticksLeft = kDurationTicks;
}

void CExplosion::Update(const CRect& client)
{
    if (m_active) {
        for (CBullet& particle : m_particles) {
            if (!particle.m_active)
                continue;
            particle.m_position += particle.m_velocity;
            particle.m_position.Wrap(client.Width(), client.Height());
            particle.m_life -= 1;
            if (particle.m_life == 0)
                particle.m_active = false;
        }
    }
    if (m_ticksLeft > kTicksLeftFloor) {
        m_ticksLeft -= 1;
        if (m_ticksLeft == 0)
            m_active = false;
    }
}

void CExplosion::Draw(CDC* dc) const
{
    if (!m_active)
        return;
    for (const CBullet& particle : m_particles) {
        if (!particle.m_active)
            continue;
        const double x = particle.m_position.m_x;
        const double y = particle.m_position.m_y;
        dc->SetPixel(TruncToInt(x), TruncToInt(y), kDebrisColour);
        dc->SetPixel(TruncToInt(x + 1), TruncToInt(y + 1), kDebrisColour);
        dc->SetPixel(TruncToInt(x + 1), TruncToInt(y - 1), kDebrisColour);
        dc->SetPixel(TruncToInt(x - 1), TruncToInt(y - 1), kDebrisColour);
        dc->SetPixel(TruncToInt(x - 1), TruncToInt(y + 1), kDebrisColour);
    }
}
