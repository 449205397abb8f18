#include "ColourVision.h"

#include <algorithm>
#include <cmath>

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

constexpr Matrix kMachado[] = {
    {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
    {{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}},
    {{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}},
    {{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}},
};

constexpr double kPi = 3.14159265358979323846;

double Linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double LabF(double t)
{
    return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0;
}

double Degrees(double radians)
{
    const double d = radians * 180.0 / kPi;
    return d < 0 ? d + 360.0 : d;
}

double Radians(double degrees)
{
    return degrees * kPi / 180.0;
}

}  // namespace

Lab Seen(Rgb8 colour, Vision vision)
{
    const double in[3] = {Linear(colour.r), Linear(colour.g), Linear(colour.b)};
    const Matrix& m = kMachado[int(vision)];
    double rgb[3];
    for (int i = 0; i < 3; ++i)
        rgb[i] = std::clamp(m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2], 0.0, 1.0);
    const double x = 0.4124564 * rgb[0] + 0.3575761 * rgb[1] + 0.1804375 * rgb[2];
    const double y = 0.2126729 * rgb[0] + 0.7151522 * rgb[1] + 0.0721750 * rgb[2];
    const double z = 0.0193339 * rgb[0] + 0.1191920 * rgb[1] + 0.9503041 * rgb[2];
    const double fx = LabF(x / 0.95047), fy = LabF(y), fz = LabF(z / 1.08883);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

double Ciede2000(const Lab& x, const Lab& y)
{
    const double c1 = std::hypot(x.a, x.b), c2 = std::hypot(y.a, y.b);
    const double cMean7 = std::pow((c1 + c2) / 2.0, 7.0);
    const double g = 0.5 * (1.0 - std::sqrt(cMean7 / (cMean7 + std::pow(25.0, 7.0))));
    const double a1 = (1.0 + g) * x.a, a2 = (1.0 + g) * y.a;
    const double cp1 = std::hypot(a1, x.b), cp2 = std::hypot(a2, y.b);
    const double h1 = (a1 == 0 && x.b == 0) ? 0.0 : Degrees(std::atan2(x.b, a1));
    const double h2 = (a2 == 0 && y.b == 0) ? 0.0 : Degrees(std::atan2(y.b, a2));
    double dh = 0.0;
    if (cp1 * cp2 != 0.0) {
        dh = h2 - h1;
        dh += dh > 180.0 ? -360.0 : dh < -180.0 ? 360.0 : 0.0;
    }
    const double dL = y.l - x.l, dC = cp2 - cp1;
    const double dH = 2.0 * std::sqrt(cp1 * cp2) * std::sin(Radians(dh / 2.0));
    const double lMean = (x.l + y.l) / 2.0, cpMean = (cp1 + cp2) / 2.0;
    double hMean = h1 + h2;
    if (cp1 * cp2 != 0.0) {
        hMean = std::fabs(h1 - h2) <= 180.0 ? hMean / 2.0 : (hMean < 360.0 ? (hMean + 360.0) / 2.0 : (hMean - 360.0) / 2.0);
    }
    const double t = 1.0 - 0.17 * std::cos(Radians(hMean - 30.0)) + 0.24 * std::cos(Radians(2.0 * hMean)) +
                     0.32 * std::cos(Radians(3.0 * hMean + 6.0)) - 0.20 * std::cos(Radians(4.0 * hMean - 63.0));
    const double sl = 1.0 + 0.015 * (lMean - 50.0) * (lMean - 50.0) / std::sqrt(20.0 + (lMean - 50.0) * (lMean - 50.0));
    const double sc = 1.0 + 0.045 * cpMean, sh = 1.0 + 0.015 * cpMean * t;
    const double cpMean7 = std::pow(cpMean, 7.0);
    const double rt = -2.0 * std::sqrt(cpMean7 / (cpMean7 + std::pow(25.0, 7.0))) *
                      std::sin(Radians(60.0 * std::exp(-std::pow((hMean - 275.0) / 25.0, 2.0))));
    const double l = dL / sl, c = dC / sc, h = dH / sh;
    return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

double ContrastOnBlack(Rgb8 colour)
{
    // WCAG's own threshold for the linear part (0.03928) differs from sRGB's only below
    // one step of eight bits.
    const double luminance = 0.2126 * Linear(colour.r) + 0.7152 * Linear(colour.g) + 0.0722 * Linear(colour.b);
    return (luminance + 0.05) / 0.05;
}
