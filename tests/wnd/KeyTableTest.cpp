// The key table told which physical keys are down: it keeps exactly the keys whose physical
// key is down, by the scan code that pressed them, and never presses one.
#include <array>
#include <cstdint>
#include <gtest/gtest.h>

#include "platform/wnd/Backend.h"
#include "platform/wnd/Keyboard.h"
#include "support/TestSupport.h"

namespace {

BYTE Held(UINT virtualKey)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    return keys[virtualKey];
}

// A bitmap of down scan codes, as the X server reports its keymap: 32 bytes for 256 codes.
template <std::size_t Bytes = 32>
std::array<std::uint8_t, Bytes> Down(std::initializer_list<unsigned> codes)
{
    std::array<std::uint8_t, Bytes> bits{};
    for (const unsigned code : codes)
        bits[code / 8] |= std::uint8_t(1u << (code % 8));
    return bits;
}

}  // namespace

TEST(KeyTableTest, KeepsTheKeysWhosePhysicalKeyIsDownAndReleasesTheRest)
{
    KeyboardReleaseAll();
    KeyboardPress(VK_UP, 111, false);
    KeyboardPress(VK_RETURN, 36, false);
    KeyboardPress(VK_NUMPAD8, 80, false);
    // Synthetic events have no scan code; codes from 512 on are not remembered.
    KeyboardPress('A', 0, false);
    KeyboardPress('B', 600, false);
    const auto down = Down({111, 80, 37, 50});
    NativeKeysDown(down.data(), 256);
    EXPECT_EQ(Held(VK_UP), 0x80);
    EXPECT_EQ(Held(VK_NUMPAD8), 0x80);
    EXPECT_EQ(Held(VK_RETURN), 0);
    EXPECT_EQ(Held('A'), 0);
    EXPECT_EQ(Held('B'), 0);
    // Codes 37 and 50 are down but pressed nothing here: their key events are still to come.
    EXPECT_EQ(testsupport::HeldKeys(), (std::set<UINT>{VK_UP, VK_NUMPAD8}));

    // A kept key is still released by its own scan code, whatever the release reports
    // (keypad 8 released after Num Lock went off reports Up).
    EXPECT_EQ(KeyboardRelease(VK_UP, 80, false), UINT(VK_NUMPAD8));
    EXPECT_TRUE(Held(VK_NUMPAD8) == 0 && Held(VK_UP) == 0x80);
    // A key released by the keymap no longer remembers its scan code: its late release event
    // releases what it reports and nothing else.
    KeyboardPress(VK_NUMPAD5, 84, false);
    const auto only111 = Down({111});
    NativeKeysDown(only111.data(), 256);
    EXPECT_EQ(Held(VK_NUMPAD5), 0);
    EXPECT_EQ(KeyboardRelease(VK_CLEAR, 84, false), UINT(VK_CLEAR));
    EXPECT_EQ(Held(VK_UP), 0x80);
    KeyboardReleaseAll();
}

TEST(KeyTableTest, TwoPhysicalKeysOfOneVirtualKeyKeepItWhileEitherIsDown)
{
    for (const unsigned downCode : {36u, 104u}) {
        KeyboardReleaseAll();
        // Return and keypad Enter are both the Enter key.
        KeyboardPress(VK_RETURN, 36, false);
        KeyboardPress(VK_RETURN, 104, false);
        const auto down = Down({downCode});
        NativeKeysDown(down.data(), 256);
        EXPECT_EQ(Held(VK_RETURN), 0x80) << downCode;
        // The key that stayed down releases it.
        EXPECT_EQ(KeyboardRelease(VK_RETURN, downCode, false), UINT(VK_RETURN));
        EXPECT_EQ(Held(VK_RETURN), 0) << downCode;
        // Neither down: released.
        KeyboardPress(VK_RETURN, 36, false);
        KeyboardPress(VK_RETURN, 104, false);
        const auto none = Down({});
        NativeKeysDown(none.data(), 256);
        EXPECT_EQ(testsupport::HeldKeys(), std::set<UINT>{}) << downCode;
    }
}

TEST(KeyTableTest, OnlyTheScanCodesBelowTheCountAreRead)
{
    KeyboardReleaseAll();
    KeyboardPress('C', 7, false);
    KeyboardPress('D', 8, false);
    KeyboardPress('E', 15, false);
    KeyboardPress('F', 16, false);
    // Two bytes hold codes 0..15; a count of 15 leaves code 15 out even with its bit set.
    const auto down = Down<2>({7, 8, 15});
    NativeKeysDown(down.data(), 15);
    EXPECT_EQ(Held('C'), 0x80);
    EXPECT_EQ(Held('D'), 0x80);
    EXPECT_EQ(Held('E'), 0);
    EXPECT_EQ(Held('F'), 0);
    // No code at all: every key is up.
    NativeKeysDown(nullptr, 0);
    EXPECT_EQ(testsupport::HeldKeys(), std::set<UINT>{});
    // The last remembered code, 511, is read from a full 64-byte map.
    KeyboardPress('G', 511, false);
    const auto wide = Down<64>({511});
    NativeKeysDown(wide.data(), 512);
    EXPECT_EQ(Held('G'), 0x80);
    KeyboardReleaseAll();
}
