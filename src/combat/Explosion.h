#pragma once
// CExplosion: five particles of debris flying out from where a ship died, for 25 ticks.
#include <climits>

#include "core/Body.h"
#include "core/Bullet.h"

class CDC;

class CExplosion : public CBody
{
public:
    static constexpr int kParticleCount = 5;
    static constexpr int kDurationTicks = 25;
    // An idle explosion counts on below 0; it stops here so the count never overflows.
    static constexpr int kTicksLeftFloor = INT_MIN;

    CBullet m_particles[kParticleCount];
    bool m_active = true;
    int m_ticksLeft = 0;

    void Start(const CBody& source);
    void Update(const CRect& client);
    void Draw(CDC* dc) const;
};
