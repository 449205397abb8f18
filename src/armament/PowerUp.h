#pragma once
// CPowerUp: a spinning, flashing X that drifts for 250 ticks. The ship that touches it
// gets the effect of a kind drawn at that moment.
#include "core/Body.h"
#include "platform/gdi/Geometry.h"

class CDC;
class CShip;

class CPowerUp : public CBody
{
public:
    static constexpr int kLifeTicks = 250;

    bool m_active = false;
    int m_life = 0;
    int m_kind = 0;

    CPowerUp();

    void Spawn(CPoint position, CPoint velocity, CPoint heading);
    void Update(const CRect& client);
    void Draw(CDC* dc) const;
    void ApplyTo(CShip* ship);
};
