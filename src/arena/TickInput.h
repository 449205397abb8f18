#pragma once
// CTickInput: what one tick takes from outside the game. Locally the keyboard and the
// controllers make it; a replay file or the network make it otherwise. Fed to the same
// arena value, the same records give the same game, tick for tick.
#include <cstdint>

// The keys of one seat, as bits of its byte.
enum : std::uint8_t {
    kSeatLeft = 1 << 0,
    kSeatRight = 1 << 1,
    kSeatForward = 1 << 2,
    kSeatBackward = 1 << 3,
    kSeatFire = 1 << 4,
    kSeatKeyMask = 0x1F,
};

struct CTickInput
{
    // Ships 1 to 3, then the sentry.
    static constexpr int kSeats = 4;
    static constexpr int kSentrySeat = 3;
    // Releases beyond this many between two ticks are dropped, locally as on playback.
    static constexpr int kMaxSwitches = 16;

    // The keys each seat holds during this tick.
    std::uint8_t m_seats[kSeats] = {};
    // The switch keys (F1 to F4, P, Page Up, Page Down) released since the last tick, in order.
    std::uint8_t m_switchCount = 0;
    std::uint8_t m_switches[kMaxSwitches] = {};
    // A new arena size, which decides where everything wraps.
    bool m_resize = false;
    std::uint16_t m_width = 0;
    std::uint16_t m_height = 0;

    bool AddSwitch(std::uint8_t virtualKey)
    {
        if (m_switchCount == kMaxSwitches)
            return false;
        m_switches[m_switchCount++] = virtualKey;
        return true;
    }
    bool operator==(const CTickInput&) const = default;
};

// Whether a virtual key is one of the switches a tick input may carry.
bool IsSwitchKey(unsigned virtualKey);
