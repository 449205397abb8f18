// The key table told which physical keys are down: it keeps exactly the keys whose physical
// key is down, by the scan code that pressed them, and never presses one.
#include <array>
#include <cstdint>
#include <gtest/gtest.h>

#include "platform/wnd/Backend.h"
#include "platform/wnd/Keyboard.h"
#include "support/TestSupport.h"

namespace {

using Keys = std::set<UINT>;
using testsupport::HeldKeys;

// Tells the table that these scan codes are down, in a bitmap of the first `count` codes as
// the X server reports its keymap (32 bytes for 256 codes).
void KeysDown(std::initializer_list<unsigned> codes, std::size_t count = 256)
{
    std::array<std::uint8_t, 64> bits{};
    for (const unsigned code : codes)
        bits[code / 8] |= std::uint8_t(1u << (code % 8));
    NativeKeysDown(bits.data(), count);
}

// Presses each key by its scan code, from a table with nothing down.
void Pressed(std::initializer_list<std::pair<UINT, unsigned>> keys)
{
    KeyboardReleaseAll();
    for (const auto& [key, code] : keys)
        KeyboardPress(key, code, false);
}

}  // namespace

TEST(KeyTableTest, KeepsTheKeysWhosePhysicalKeyIsDownAndReleasesTheRest)
{
    // Synthetic events have no scan code; codes from 512 on are not remembered.
    Pressed({{VK_UP, 111}, {VK_RETURN, 36}, {VK_NUMPAD8, 80}, {'A', 0}, {'B', 600}});
    // Codes 37 and 50 are down but pressed nothing here: their key events are still to come.
    KeysDown({111, 80, 37, 50});
    EXPECT_EQ(HeldKeys(), (Keys{VK_UP, VK_NUMPAD8}));
    // A kept key is still released by its own scan code, whatever the release reports
    // (keypad 8 released after Num Lock went off reports Up).
    EXPECT_EQ(KeyboardRelease(VK_UP, 80, false), UINT(VK_NUMPAD8));
    EXPECT_EQ(HeldKeys(), Keys{VK_UP});
    // A key released by the keymap no longer remembers its scan code: its late release event
    // releases what it reports and nothing else.
    KeyboardPress(VK_NUMPAD5, 84, false);
    KeysDown({111});
    EXPECT_EQ(HeldKeys(), Keys{VK_UP});
    EXPECT_EQ(KeyboardRelease(VK_CLEAR, 84, false), UINT(VK_CLEAR));
    EXPECT_EQ(HeldKeys(), Keys{VK_UP});
    // Return and keypad Enter are both the Enter key: kept while either is down, released by
    // the one that stayed down, and released with neither down.
    for (const unsigned downCode : {36u, 104u}) {
        Pressed({{VK_RETURN, 36}, {VK_RETURN, 104}});
        KeysDown({downCode});
        EXPECT_EQ(HeldKeys(), Keys{VK_RETURN}) << downCode;
        EXPECT_EQ(KeyboardRelease(VK_RETURN, downCode, false), UINT(VK_RETURN));
        EXPECT_EQ(HeldKeys(), Keys{}) << downCode;
    }
    Pressed({{VK_RETURN, 36}, {VK_RETURN, 104}});
    KeysDown({});
    EXPECT_EQ(HeldKeys(), Keys{});
}

TEST(KeyTableTest, OnlyTheScanCodesBelowTheCountAreRead)
{
    // A count of 15 leaves code 15 out even with its bit set.
    Pressed({{'C', 7}, {'D', 8}, {'E', 15}, {'F', 16}});
    KeysDown({7, 8, 15}, 15);
    EXPECT_EQ(HeldKeys(), (Keys{'C', 'D'}));
    // No code at all: every key is up.
    NativeKeysDown(nullptr, 0);
    EXPECT_EQ(HeldKeys(), Keys{});
    // The last remembered code, 511, is read from a full 64-byte map.
    KeyboardPress('G', 511, false);
    KeysDown({511}, 512);
    EXPECT_EQ(HeldKeys(), Keys{'G'});
    KeyboardReleaseAll();
}
