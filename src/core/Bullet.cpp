#include "core/Bullet.h"

#include "platform/gdi/DC.h"

void CBullet::Update(const CRect& client)
{
    if (m_active) {
        m_position += m_velocity;
        m_position.Wrap(client.Width(), client.Height());
        m_life -= 1;
    }
    if (m_life == 0)
        m_active = false;
}

int FindInactiveBullet(std::span<const CBullet> bullets)
{
    for (std::size_t i = 0; i < bullets.size(); ++i) {
        if (!bullets[i].m_active)
            return static_cast<int>(i);
    }
    return -1;
}

void CBullet::Draw(CDC* dc) const
{
    if (!m_active)
        return;
    dc->Ellipse(TruncToInt(m_position.m_x - 2), TruncToInt(m_position.m_y - 2), TruncToInt(m_position.m_x + 2),
                TruncToInt(m_position.m_y + 2));
}
