#include "net/ArenaSnapshot.h"

#include <cmath>
#include <cstdio>
#include <type_traits>

#include "arena/ArenaWalk.h"

using arenawalk::CWords;

namespace {

struct CCounter
{
    void operator()(std::uint64_t) { m_count += 1; }
    std::size_t m_count = 0;
};

struct CWriter
{
    void operator()(std::uint64_t word)
    {
        for (int i = 0; i < 8; ++i)
            *m_out++ = std::uint8_t(word >> (8 * i));
    }
    std::uint8_t* m_out;
};

// Writes a walk's fields back from the words, refusing what no game reaches: a ship count
// out of 2..6, a ship that is not its own slot, a flag that is neither 0 nor 1, keys beyond
// the five, no weapon, a power-up kind out of 0..9, a coordinate that is not finite.
class CReader
{
public:
    explicit CReader(const std::uint8_t* in) : m_in(in) {}

    void Real(double& value)
    {
        value = arenawalk::FromBits(Next());
        if (!std::isfinite(value))
            Fail("a coordinate that is not a number");
    }
    template <class A, class B>
    void Pair(A& high, B& low)
    {
        const std::uint64_t word = Next();
        Set(high, std::uint32_t(word >> 32));
        Set(low, std::uint32_t(word));
    }
    void Keys(std::uint8_t (&keys)[CTickInput::kSeats])
    {
        const std::uint64_t word = Next();
        const std::uint64_t kept = word & 0x0000'FFFF'0000'FFFFull;
        for (int seat = 0; seat < CTickInput::kSeats; ++seat)
            keys[seat] = std::uint8_t(kept >> ((seat < 2 ? 32 : 0) + seat % 2 * 8));
        for (const std::uint8_t k : keys)
            if (k & ~kSeatKeyMask || kept != word)
                Fail("keys no seat has");
    }
    void Weapon(bool& autopilot, CWeapon*& weapon)
    {
        const std::uint64_t word = Next();
        Set(autopilot, std::uint32_t(word >> 32));
        weapon = arenawalk::WeaponAt(std::uint32_t(word));
        if (weapon == nullptr)
            Fail("a weapon that does not exist");
    }
    void PowerUp(int& life, int& kind, bool& active)
    {
        const std::uint64_t word = Next();
        life = int(std::uint32_t(word >> 32));
        kind = int(std::uint32_t(word) >> 1);
        active = word & 1;
        if (kind > 9)
            Fail("a power-up of no kind");
    }

    const char* m_failure = nullptr;

private:
    std::uint64_t Next()
    {
        std::uint64_t word = 0;
        for (int i = 0; i < 8; ++i)
            word |= std::uint64_t(*m_in++) << (8 * i);
        return word;
    }
    template <class T>
    void Set(T& field, std::uint32_t value)
    {
        if constexpr (std::is_same_v<T, bool>) {
            if (value > 1)
                Fail("a flag that is neither set nor clear");
            field = value != 0;
        } else {
            field = T(value);
        }
    }
    void Fail(const char* why)
    {
        if (m_failure == nullptr)
            m_failure = why;
    }

    const std::uint8_t* m_in;
};

// Every arena walks the same number of words, whatever it holds.
std::size_t WordCount(const CArena& arena)
{
    CCounter counter;
    CWords words(counter);
    arenawalk::Walk(arena, words);
    return counter.m_count;
}

}  // namespace

namespace net {

std::size_t WriteSnapshot(const CArena& arena, std::uint8_t* out, std::size_t capacity)
{
    const std::size_t size = 2 + 8 * WordCount(arena);
    if (size > capacity)
        return 0;
    out[0] = std::uint8_t(kSnapshotFormat);
    out[1] = std::uint8_t(kSnapshotFormat >> 8);
    CWriter writer{out + 2};
    CWords words(writer);
    arenawalk::Walk(arena, words);
    return size;
}

bool ReadSnapshot(std::span<const std::uint8_t> bytes, CArena& arena, std::string& error)
{
    char text[120];
    const std::size_t size = 2 + 8 * WordCount(arena);
    if (bytes.size() < 2 || (bytes[0] | bytes[1] << 8) != kSnapshotFormat) {
        error = "the snapshot is not of this game's format";
        return false;
    }
    if (bytes.size() != size) {
        std::snprintf(text, sizeof text, "the snapshot holds %zu bytes, not %zu", bytes.size(), size);
        error = text;
        return false;
    }
    CArena read = arena;
    CReader reader(bytes.data() + 2);
    arenawalk::Walk(read, reader);
    if (reader.m_failure == nullptr && (read.m_shipCount < CArena::kMinShips || read.m_shipCount > CArena::kShipSlots))
        reader.m_failure = "a ship count out of 2 to 6";
    for (int i = 0; i < CArena::kShipSlots && reader.m_failure == nullptr; ++i)
        if (read.m_ships[i].m_index != i)
            reader.m_failure = "a ship out of its slot";
    if (reader.m_failure != nullptr) {
        error = std::string("the snapshot holds ") + reader.m_failure;
        return false;
    }
    arena.Restore(read);
    return true;
}

}  // namespace net
