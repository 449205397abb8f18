// The arena as a value: restored whole, hashed and compared field by field. Pointers and
// padding are never read: a ship's weapon counts by its index among the five. What only
// drawing reads (a ship's colour and pen, and the hit flag that the next frame's spark
// clears) stays out, so a state drawn and a state never drawn compare equal.
#include <algorithm>
#include <array>
#include <cstring>

#include "arena/ArenaWalk.h"
#include "armament/Weapon.h"

namespace {

CWeapon* const kWeapons[] = {&g_singleShotWeapon, &g_spreadWeapon, &g_ringWeapon, &g_stackedShotWeapon,
                             &g_starBurstWeapon};

}  // namespace

namespace arenawalk {

std::int64_t WeaponIndex(const CWeapon* weapon)
{
    return std::find(std::begin(kWeapons), std::end(kWeapons), weapon) - std::begin(kWeapons);
}

CWeapon* WeaponAt(std::uint64_t index) { return index < std::size(kWeapons) ? kWeapons[index] : nullptr; }

std::uint64_t Bits(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double FromBits(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace arenawalk

namespace {

// Four independent lanes of multiply and xor-shift, so that the words do not wait on one
// another, folded together at the end.
class CHashSink
{
public:
    void operator()(std::uint64_t word)
    {
        std::uint64_t& lane = m_lanes[m_count++ & 3];
        lane = (lane ^ word) * kPrime;
        lane ^= lane >> 29;
    }
    std::uint64_t Result() const
    {
        std::uint64_t h = m_count;
        for (const std::uint64_t lane : m_lanes) {
            h = (h ^ lane) * kPrime;
            h ^= h >> 32;
        }
        return h;
    }

private:
    static constexpr std::uint64_t kPrime = 0x9E3779B97F4A7C15ull;
    std::uint64_t m_lanes[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                                0x082EFA98EC4E6C89ull};
    std::uint64_t m_count = 0;
};

// The words of one arena, for a comparison with another.
struct CWordSink
{
    void operator()(std::uint64_t word) { m_words[m_count++] = word; }
    std::array<std::uint64_t, 2048> m_words;
    std::size_t m_count = 0;
};

}  // namespace

void CArena::Restore(const CArena& saved)
{
    *this = saved;
    g_randomGenerator = m_random;
}

std::uint64_t CArena::Hash() const
{
    CHashSink sink;
    arenawalk::CWords words(sink);
    arenawalk::Walk(*this, words);
    return sink.Result();
}

bool CArena::operator==(const CArena& other) const
{
    CWordSink mine;
    CWordSink theirs;
    arenawalk::CWords mineWords(mine);
    arenawalk::CWords theirWords(theirs);
    arenawalk::Walk(*this, mineWords);
    arenawalk::Walk(other, theirWords);
    return std::equal(mine.m_words.begin(), mine.m_words.begin() + mine.m_count, theirs.m_words.begin());
}
