// Searches for six ship colours that every player can tell apart: the smallest CIEDE2000
// difference between any two, under normal vision and each dichromacy, as large as it can
// be, with every colour at least 4.5:1 against the black arena (WCAG's level for text: the
// scoreboard's numbers are drawn in them) and 15 apart from the white text. Random starts, then hill climbing in steps of the 8-bit channels; the best set is
// put in the order closest to the classic colours, so ship 1 stays reddish and so on.
// Run by hand; it prints the set and its figures.
#include <algorithm>
#include <cstdio>
#include <random>
#include <tuple>

#include "ColourVision.h"

namespace {

constexpr int kShips = 6;
using Palette = std::array<Rgb8, kShips>;
constexpr Palette kClassic = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {200, 200, 0}, {0, 200, 200}, {200, 0, 200}}};

double Score(const Palette& p)
{
    double worst = 1e9;
    for (const Rgb8& c : p) {
        if (ContrastOnBlack(c) < 4.5)
            return -1.0;
    }
    for (const Vision v : kVisions) {
        Lab seen[kShips];
        for (int i = 0; i < kShips; ++i)
            seen[i] = Seen(p[std::size_t(i)], v);
        const Lab white = Seen({255, 255, 255}, v);
        for (int i = 0; i < kShips; ++i) {
            if (Ciede2000(seen[i], white) < 15.0)
                return -1.0;
            for (int j = i + 1; j < kShips; ++j)
                worst = std::min(worst, Ciede2000(seen[i], seen[j]));
        }
    }
    return worst;
}

Palette Climb(Palette p, std::mt19937& random)
{
    double best = Score(p);
    std::uniform_int_distribution<int> ship(0, kShips - 1), channel(0, 2), step(-24, 24);
    for (int tries = 0; tries < 20000; ++tries) {
        Palette next = p;
        int* const value = &(&next[std::size_t(ship(random))].r)[channel(random)];
        *value = std::clamp(*value + step(random), 0, 255);
        const double score = Score(next);
        if (score >= best) {
            best = score;
            p = next;
        }
    }
    return p;
}

double Distance(const Rgb8& x, const Rgb8& y)
{
    return Ciede2000(Seen(x, Vision::Normal), Seen(y, Vision::Normal));
}

// The order of the set that lies closest, in sum, to the classic colours.
Palette ClassicOrder(Palette p)
{
    const auto before = [](const Rgb8& a, const Rgb8& b) { return std::tie(a.r, a.g, a.b) < std::tie(b.r, b.g, b.b); };
    std::sort(p.begin(), p.end(), before);
    Palette best = p;
    double bestSum = 1e18;
    do {
        double sum = 0.0;
        for (int i = 0; i < kShips; ++i)
            sum += Distance(p[std::size_t(i)], kClassic[std::size_t(i)]);
        if (sum < bestSum) {
            bestSum = sum;
            best = p;
        }
    } while (std::next_permutation(p.begin(), p.end(), before));
    return best;
}

}  // namespace

int main()
{
    std::mt19937 random(2009);
    std::uniform_int_distribution<int> byte(0, 255);
    Palette best = kClassic;
    double bestScore = -1.0;
    for (int start = 0; start < 60; ++start) {
        Palette p;
        do {
            for (Rgb8& c : p)
                c = {byte(random), byte(random), byte(random)};
        } while (Score(p) < 0.0);
        p = Climb(p, random);
        if (const double score = Score(p); score > bestScore) {
            bestScore = score;
            best = p;
        }
    }
    best = ClassicOrder(best);
    std::printf("smallest difference under any vision: %.2f\n", bestScore);
    for (const Rgb8& c : best)
        std::printf("RGB(%3d, %3d, %3d)  contrast on black %.2f\n", c.r, c.g, c.b, ContrastOnBlack(c));
}
