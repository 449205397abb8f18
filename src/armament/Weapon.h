#pragma once
// The five weapon classes. Each exists once, as a global singleton shared by every
// ship; a weapon holds no state and reads and changes only the firing ship.
class CShip;

class CWeapon
{
public:
    virtual ~CWeapon() = default;
    virtual void Fire(CShip* owner) const;
};

class CSingleShotWeapon : public CWeapon
{
public:
    void Fire(CShip* owner) const override;
};

class CSpreadWeapon : public CWeapon
{
public:
    void Fire(CShip* owner) const override;
};

class CRingWeapon : public CWeapon
{
public:
    void Fire(CShip* owner) const override;
};

class CStackedShotWeapon : public CWeapon
{
public:
    void Fire(CShip* owner) const override;
};

class CStarBurstWeapon : public CWeapon
{
public:
    void Fire(CShip* owner) const override;
};

extern CRingWeapon g_ringWeapon;
extern CSingleShotWeapon g_singleShotWeapon;
extern CSpreadWeapon g_spreadWeapon;
extern CStackedShotWeapon g_stackedShotWeapon;
extern CStarBurstWeapon g_starBurstWeapon;
