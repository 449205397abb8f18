#include "core/Vector2.h"

#include <cmath>

#include "core/Trig.h"

CVector2& CVector2::operator+=(const CVector2& v)
{
    m_x += v.m_x;
    m_y += v.m_y;
    return *this;
}

CVector2& CVector2::operator-=(const CVector2& v)
{
    m_x -= v.m_x;
    m_y -= v.m_y;
    return *this;
}

CVector2 CVector2::operator+(const CVector2& v) const { return CVector2(m_x + v.m_x, m_y + v.m_y); }

CVector2 CVector2::operator-(const CVector2& v) const { return CVector2(m_x - v.m_x, m_y - v.m_y); }

CVector2 CVector2::operator*(double k) const { return CVector2(m_x * k, m_y * k); }

CVector2 CVector2::operator/(double k) const
{
    if (k == 0.0)
        return *this;
    return CVector2(m_x / k, m_y / k);
}

CVector2& CVector2::ScaleNonZero(double k)
{
    if (m_x == 0.0)
        m_x = 0.1;
    if (m_y == 0.0)
        m_y = 0.1;
    m_x *= k;
    m_y *= k;
    return *this;
}

double CVector2::Length() const { return std::sqrt(m_x * m_x + m_y * m_y); }

void CVector2::SetLength(double length)
{
    const double current = Length();
    if (current == 0.0)
        return;
    const double factor = length / current;
    m_x *= factor;
    m_y *= factor;
}

double CVector2::Angle() const
{
    if (m_x == 0.0)
        return m_y > 0.0 ? 90.0 : -90.0;
    double a = RadToDeg(trig::Atan(m_y / m_x));
    if (m_x < 0.0)
        a += 180.0;
    return a;
}

void CVector2::Rotate(double degrees)
{
    const double len = Length();
    const double a = Angle() + degrees;
    m_x = trig::Cos(DegToRad(a)) * len;
    m_y = trig::Sin(DegToRad(a)) * len;
}

namespace {

// One axis of Wrap. The quotient is kept in 64 bits and the product formed in double, so
// that coordinates far beyond the int range fold without overflow; in play both are
// exact, as with int arithmetic.
double WrapAxis(double value, int size)
{
    if (size == 0 || !std::isfinite(value))
        return value;
    const double quotient = value / size;
    if (std::fabs(quotient) >= 9.0e18)
        return value;
    long long q = static_cast<long long>(quotient);
    if (value < 0.0)
        q -= 1;
    return value - static_cast<double>(q) * static_cast<double>(size);
}

}  // namespace

CVector2& CVector2::Wrap(int width, int height)
{
    m_x = WrapAxis(m_x, width);
    m_y = WrapAxis(m_y, height);
    return *this;
}

double CVector2::DegToRad(double degrees) { return degrees / 180.0 * kPi; }

double CVector2::RadToDeg(double radians) { return radians / kPi * 180.0; }
