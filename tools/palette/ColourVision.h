#pragma once
// How far apart two colours look to people with normal colour vision and with each of the
// three kinds of dichromacy: Machado, Oliveira and Fernandes (2009), severity 1, applied to
// linear sRGB; CIELAB under D65; the CIEDE2000 difference; WCAG's relative luminance.
#include <array>

enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia };
inline constexpr std::array<Vision, 4> kVisions = {Vision::Normal, Vision::Protanopia, Vision::Deuteranopia,
                                                   Vision::Tritanopia};

struct Rgb8
{
    int r, g, b;
};

struct Lab
{
    double l, a, b;
};

// The colour as seen with that vision, in CIELAB.
Lab Seen(Rgb8 colour, Vision vision);
double Ciede2000(const Lab& x, const Lab& y);
// WCAG 2 contrast ratio against black: (L + 0.05) / 0.05.
double ContrastOnBlack(Rgb8 colour);
