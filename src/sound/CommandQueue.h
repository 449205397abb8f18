#pragma once
// CCommandQueue: what the game thread asks of the audio thread (play an effect, stop every
// voice, mute), handed over without a lock: one writer, one reader, a ring of fixed size
// whose two indices are atomics. A full ring drops the newest command: a lost sound is
// better than a waiting game.
#include <atomic>
#include <cstdint>

#include "sound/Effect.h"

struct SoundCommand
{
    enum class Kind : std::uint8_t { Play, StopAll, Mute, Unmute };
    Kind kind;
    Effect effect;
    float pan;
};

class CCommandQueue
{
public:
    static constexpr std::uint32_t kCapacity = 256;  // a power of two

    // The game thread. False when the ring is full.
    bool Push(const SoundCommand& command)
    {
        const std::uint32_t tail = m_tail.load(std::memory_order_relaxed);
        if (tail - m_head.load(std::memory_order_acquire) == kCapacity)
            return false;
        m_ring[tail % kCapacity] = command;
        m_tail.store(tail + 1, std::memory_order_release);
        return true;
    }

    // The audio thread. False when the ring is empty.
    bool Pop(SoundCommand& command)
    {
        const std::uint32_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire))
            return false;
        command = m_ring[head % kCapacity];
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    SoundCommand m_ring[kCapacity] = {};
    std::atomic<std::uint32_t> m_head{0};
    std::atomic<std::uint32_t> m_tail{0};
};
