// Vector arithmetic with the game's shortened pi and truncating conversions.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "core/Vector2.h"
#include "support/TestSupport.h"

using testsupport::Near;

TEST(Vector2, AngleUsesTheShortenedPi)
{
    EXPECT_EQ(CVector2(0, 0).Angle(), -90.0);
    EXPECT_EQ(CVector2(0, 5).Angle(), 90.0);
    EXPECT_EQ(CVector2(0, -5).Angle(), -90.0);
    EXPECT_EQ(CVector2(-1, 0).Angle(), 180.0);
    // The arctangent is exact; dividing by 3.141592653 puts these 8.4e-9 off.
    EXPECT_NEAR(CVector2(1, -1).Angle(), -45.0000000084, 1e-10);
    EXPECT_NEAR(CVector2(-1, 1).Angle(), 134.9999999916, 1e-10);
    EXPECT_NEAR(CVector2(-1, -1).Angle(), 225.0000000084, 1e-10);
    EXPECT_EQ(CVector2::DegToRad(180.0), 3.141592653);
    EXPECT_EQ(CVector2::RadToDeg(3.141592653), 180.0);
}

TEST(Vector2, Rotate)
{
    CVector2 v(0, 2);
    v.Rotate(-90);
    EXPECT_TRUE(Near(v, 2, 0));
    v = CVector2(1, 0);
    v.Rotate(90);  // clockwise on screen: right turns to down, not quite exactly
    EXPECT_NEAR(v.m_x, 2.949e-10, 1e-13);
    EXPECT_DOUBLE_EQ(v.m_y, 1.0);
    v = CVector2(3, 4);
    v.Rotate(137);
    EXPECT_NEAR(v.Length(), 5.0, 1e-12);
    v = CVector2(3, 4);
    v.Rotate(6);
    v.Rotate(-6);
    EXPECT_TRUE(Near(v, 3, 4, 1e-9));
    v = CVector2();
    v.Rotate(45);
    EXPECT_TRUE(Near(v, 0, 0));
}

TEST(Vector2, DivisionScalingAndLength)
{
    EXPECT_TRUE(Near(CVector2(4, 6) / 2, 2, 3));
    EXPECT_TRUE(Near(CVector2(4, 6) / 0, 4, 6));
    EXPECT_TRUE(Near(CVector2(0, 1).ScaleNonZero(0.2), 0.02, 0.2, 1e-15));
    EXPECT_TRUE(Near(CVector2(0, 0).ScaleNonZero(0.2), 0.02, 0.02, 1e-15));
    EXPECT_TRUE(Near(CVector2(3, 0).ScaleNonZero(0.2), 0.6, 0.02, 1e-15));
    CVector2 v(3, 4);
    v.SetLength(10);
    EXPECT_TRUE(Near(v, 6, 8, 1e-12));
    v = CVector2();
    v.SetLength(5);  // no direction to keep: stays zero instead of becoming NaN
    EXPECT_TRUE(Near(v, 0, 0));
}

TEST(Vector2, Wrap)
{
    struct Case
    {
        CVector2 in;
        int width, height;
        CVector2 out;
    };
    const Case cases[] = {
        {{799.5, -0.5}, 800, 600, {799.5, 599.5}},
        {{800, 600}, 800, 600, {0, 0}},
        {{1603, 5}, 800, 600, {3, 5}},
        {{-1597, 5}, 800, 600, {3, 5}},
        {{-800, -1200}, 800, 600, {800, 600}},  // an exact negative multiple: the size, not 0
        {{-5, -5}, 0, 600, {-5, 595}},          // a size of 0 leaves that coordinate alone
        {{12345.5, -7}, 0, 0, {12345.5, -7}},
        {{3000000000.5, -3000000000.5}, 800, 600, {0.5, 599.5}},  // beyond the int range
    };
    for (const Case& c : cases) {
        CVector2 v = c.in;
        EXPECT_TRUE(Near(v.Wrap(c.width, c.height), c.out.m_x, c.out.m_y)) << c.in.m_x << "," << c.in.m_y;
    }
    for (const double huge : {1e21, -1e21, 1e300, -1e300}) {
        CVector2 v(huge, huge);
        v.Wrap(800, 600);
        EXPECT_TRUE(std::isfinite(v.m_x) && std::isfinite(v.m_y)) << huge;
    }
}

TEST(Vector2, ToPointTruncatesTowardZeroAndSaturates)
{
    EXPECT_EQ(CVector2(-0.7, 3.9).ToPoint(), CPoint(0, 3));
    EXPECT_EQ(CVector2(-1.2, 0).ToPoint(), CPoint(-1, 0));
    EXPECT_EQ(CVector2(-3.5, 2147483646.9).ToPoint(), CPoint(-3, 2147483646));
    EXPECT_EQ(CVector2(1e20, -1e20).ToPoint(), CPoint(INT_MAX, INT_MIN));
    EXPECT_EQ(CVector2(2147483648.0, -2147483649.0).ToPoint(), CPoint(INT_MAX, INT_MIN));
}
