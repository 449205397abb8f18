#pragma once
// CBullet: a projectile that flies straight, wraps at the client edges and goes out
// when its life runs out. Ships, the sentry and explosions hold them in fixed arrays.
#include <span>

#include "core/Body.h"

class CDC;

class CBullet : public CBody
{
public:
    int m_life = 0;
    bool m_active = false;

    void Update(const CRect& client);
    // A 4 by 4 circle around the position, in the context's current pen and brush.
    void Draw(CDC* dc) const;
};

// The index of the first inactive bullet, or -1 when every one is in flight.
int FindInactiveBullet(std::span<const CBullet> bullets);
