#pragma once
// CVector2: a vector of two doubles in client pixels, x to the right, y downward.
// Angles are degrees from +x toward +y, so a positive angle turns clockwise on screen.
// Every degree/radian conversion uses pi shortened to 3.141592653, and every conversion
// to int truncates toward zero: both are part of the game's exact behaviour.
#include <climits>

#include "platform/gdi/Geometry.h"

class CVector2
{
public:
    static constexpr double kPi = 3.141592653;

    double m_x = 0.0;
    double m_y = 0.0;

    constexpr CVector2() = default;
    constexpr CVector2(double x, double y) : m_x(x), m_y(y) {}

    CVector2& operator+=(const CVector2& v);
    CVector2& operator-=(const CVector2& v);
    CVector2 operator+(const CVector2& v) const;
    CVector2 operator-(const CVector2& v) const;
    CVector2 operator*(double k) const;
    // Division by exactly 0 gives an unchanged copy.
    CVector2 operator/(double k) const;

    // Each component that is exactly 0 becomes 0.1, then both are multiplied by k.
    CVector2& ScaleNonZero(double k);

    double Length() const;
    // A zero vector has no direction to keep and stays zero.
    void SetLength(double length);
    // Degrees in [-90, 270); the zero vector gives -90.
    double Angle() const;
    // Through the polar form: the length is kept, the angle grows by degrees.
    void Rotate(double degrees);
    // Folds x into [0, width) and y into [0, height); an exact negative multiple of the
    // size comes out as the size itself. A size of 0 leaves that coordinate alone.
    CVector2& Wrap(int width, int height);
    // Each component truncated toward zero, saturated at the int range.
    CPoint ToPoint() const;

    static double DegToRad(double degrees);
    static double RadToDeg(double radians);
};

// Truncation toward zero into an int, saturated at the int range (NaN gives 0).
// Inline: the combat pass converts thousands of points a tick.
inline int TruncToInt(double value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483647.0)
        return INT_MAX;
    if (value <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(value);
}

inline CPoint CVector2::ToPoint() const { return CPoint(TruncToInt(m_x), TruncToInt(m_y)); }
