#pragma once
// The sine, cosine and arc tangent the game turns and draws with. They are the game's own
// (after fdlibm) rather than the C library's, whose last bit differs between libraries:
// built from the basic operations alone, they give the same bits in every build, so the
// desktop and the browser editions compute the same game for the same input.
namespace trig {

// Exact to within one unit in the last place for |x| below 2^20 * pi / 2, which holds every
// angle of the game; beyond that they answer the C library's value.
double Sin(double x);
double Cos(double x);
double Atan(double x);

}  // namespace trig
