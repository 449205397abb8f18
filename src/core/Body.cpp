#include "core/Body.h"

int CBody::FindFreeBullet() const { return -1; }

CRect CBody::GetBounds() const
{
    return CRect(TruncToInt(m_position.m_x - 16), TruncToInt(m_position.m_y - 16), TruncToInt(m_position.m_x + 16),
                 TruncToInt(m_position.m_y + 16));
}
