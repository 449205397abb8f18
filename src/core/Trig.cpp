// After fdlibm's k_sin.c, k_cos.c, e_rem_pio2.c (its medium-size path) and s_atan.c.
#include "core/Trig.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

std::uint32_t HighWord(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return std::uint32_t(bits >> 32);
}

// sin(x + y) for |x| <= pi/4, y the tail of a reduced argument.
double KernelSin(double x, double y, bool hasTail)
{
    constexpr double S1 = -1.66666666666666324348e-01;
    constexpr double S2 = 8.33333333332248946124e-03;
    constexpr double S3 = -1.98412698298579493134e-04;
    constexpr double S4 = 2.75573137070700676789e-06;
    constexpr double S5 = -2.50507602534068634195e-08;
    constexpr double S6 = 1.58969099521155010221e-10;
    const double z = x * x;
    const double v = z * x;
    const double r = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
    if (!hasTail)
        return x + v * (S1 + z * r);
    return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

double KernelCos(double x, double y)
{
    constexpr double C1 = 4.16666666666666019037e-02;
    constexpr double C2 = -1.38888888888741095749e-03;
    constexpr double C3 = 2.48015872894767294178e-05;
    constexpr double C4 = -2.75573143513906633035e-07;
    constexpr double C5 = 2.08757232129817482790e-09;
    constexpr double C6 = -1.13596475577881948265e-11;
    const double z = x * x;
    const double w = z * z;
    const double r = z * (C1 + z * (C2 + z * C3)) + w * w * (C4 + z * (C5 + z * C6));
    const double hz = 0.5 * z;
    const double one = 1.0 - hz;
    return one + (((1.0 - one) - hz) + (z * r - x * y));
}

// x - n * pi/2 as head + tail, for pi/4 < |x| < 2^20 * pi/2; returns n.
int ReduceHalfPi(double x, double& head, double& tail)
{
    constexpr double kInvHalfPi = 6.36619772367581382433e-01;
    constexpr double kHalfPi1 = 1.57079632673412561417e+00;   // the first 33 bits of pi/2
    constexpr double kHalfPi1Tail = 6.07710050650619224932e-11;
    constexpr double kHalfPi2 = 6.07710050630396597660e-11;   // the next 33 bits
    constexpr double kHalfPi2Tail = 2.02226624879595063154e-21;
    constexpr double kHalfPi3 = 2.02226624871116645580e-21;   // and the next
    constexpr double kHalfPi3Tail = 8.47842766036889956997e-32;

    const double fn = std::nearbyint(x * kInvHalfPi);
    const int n = int(fn);
    double r = x - fn * kHalfPi1;
    double w = fn * kHalfPi1Tail;
    const int exponent = int(HighWord(x) >> 20) & 0x7FF;
    head = r - w;
    if (exponent - int((HighWord(head) >> 20) & 0x7FF) > 16) {
        // Cancellation: a second step, good to 118 bits, and a third when that is not enough.
        double t = r;
        w = fn * kHalfPi2;
        r = t - w;
        w = fn * kHalfPi2Tail - ((t - r) - w);
        head = r - w;
        if (exponent - int((HighWord(head) >> 20) & 0x7FF) > 49) {
            t = r;
            w = fn * kHalfPi3;
            r = t - w;
            w = fn * kHalfPi3Tail - ((t - r) - w);
            head = r - w;
        }
    }
    tail = (r - head) - w;
    return n;
}

constexpr std::uint32_t kQuarterPiHigh = 0x3FE921FB;
constexpr std::uint32_t kReducibleHigh = 0x413921FB;  // 2^20 * pi/2

}  // namespace

namespace trig {

double Sin(double x)
{
    const std::uint32_t high = HighWord(x) & 0x7FFFFFFF;
    if (high <= kQuarterPiHigh)
        return high < 0x3E400000 ? x : KernelSin(x, 0.0, false);
    if (high >= kReducibleHigh)
        return std::sin(x);
    double head, tail;
    switch (ReduceHalfPi(x, head, tail) & 3) {
    case 0: return KernelSin(head, tail, true);
    case 1: return KernelCos(head, tail);
    case 2: return -KernelSin(head, tail, true);
    default: return -KernelCos(head, tail);
    }
}

double Cos(double x)
{
    const std::uint32_t high = HighWord(x) & 0x7FFFFFFF;
    if (high <= kQuarterPiHigh)
        return high < 0x3E400000 ? 1.0 : KernelCos(x, 0.0);
    if (high >= kReducibleHigh)
        return std::cos(x);
    double head, tail;
    switch (ReduceHalfPi(x, head, tail) & 3) {
    case 0: return KernelCos(head, tail);
    case 1: return -KernelSin(head, tail, true);
    case 2: return -KernelCos(head, tail);
    default: return KernelSin(head, tail, true);
    }
}

double Atan(double x)
{
    constexpr double kHigh[] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                                9.82793723247329054082e-01, 1.57079632679489655800e+00};
    constexpr double kLow[] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                               1.39033110312309984516e-17, 6.12323399573676603587e-17};
    constexpr double aT[] = {3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
                             -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
                             6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
                             -3.65315727442169155270e-02, 1.62858201153657823623e-02};
    const bool negative = (HighWord(x) >> 31) != 0;
    const std::uint32_t high = HighWord(x) & 0x7FFFFFFF;
    if (high >= 0x44100000) {  // |x| >= 2^66, infinities and NaN
        if (std::isnan(x))
            return x + x;
        return negative ? -(kHigh[3] + kLow[3]) : kHigh[3] + kLow[3];
    }
    int id;
    if (high < 0x3FDC0000) {  // |x| < 0.4375
        if (high < 0x3E400000)
            return x;
        id = -1;
    } else {
        x = std::fabs(x);
        if (high < 0x3FE60000) {  // 7/16 <= |x| < 11/16
            id = 0;
            x = (2.0 * x - 1.0) / (2.0 + x);
        } else if (high < 0x3FF30000) {  // 11/16 <= |x| < 19/16
            id = 1;
            x = (x - 1.0) / (x + 1.0);
        } else if (high < 0x40038000) {  // 19/16 <= |x| < 2.4375
            id = 2;
            x = (x - 1.5) / (1.0 + 1.5 * x);
        } else {
            id = 3;
            x = -1.0 / x;
        }
    }
    const double z = x * x;
    const double w = z * z;
    const double s1 = z * (aT[0] + w * (aT[2] + w * (aT[4] + w * (aT[6] + w * (aT[8] + w * aT[10])))));
    const double s2 = w * (aT[1] + w * (aT[3] + w * (aT[5] + w * (aT[7] + w * aT[9]))));
    if (id < 0)
        return x - x * (s1 + s2);
    const double result = kHigh[id] - ((x * (s1 + s2) - kLow[id]) - x);
    return negative ? -result : result;
}

}  // namespace trig
