#pragma once
// CBody: the base of everything that moves: velocity, heading and position, the 32 by
// 32 box every hit and pick-up is tested against, and the one virtual operation.
#include "core/Vector2.h"
#include "platform/gdi/Geometry.h"

class CBody
{
public:
    CVector2 m_velocity;
    CVector2 m_heading;
    CVector2 m_position;

    virtual ~CBody() = default;

    // The index of the first free bullet slot, or -1 when the body has none free.
    virtual int FindFreeBullet() const;
    // The box of half-size 16 around the position, each edge truncated toward zero.
    CRect GetBounds() const;
};
