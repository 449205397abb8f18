#pragma once
// The arena as bytes, for a machine that joins a session under way: a format version, then
// the words of the arena's walk, little-endian. The reader checks everything that a tick
// uses to index or to branch, so no snapshot can put the game where it cannot be.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class CArena;

namespace net {

constexpr std::uint16_t kSnapshotFormat = 1;

// Room enough for any arena's snapshot.
constexpr std::size_t kMaxSnapshotBytes = 16384;

// Writes the snapshot into out; its size, or 0 when capacity is too small.
std::size_t WriteSnapshot(const CArena& arena, std::uint8_t* out, std::size_t capacity);
// Restores the arena of a snapshot, its generator included; false with one line of why,
// and the arena untouched, otherwise.
bool ReadSnapshot(std::span<const std::uint8_t> bytes, CArena& arena, std::string& error);

}  // namespace net
