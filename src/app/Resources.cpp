// The shell's resources as constant tables, read by the window layer the way it would
// read a resource script.
#include "app/Resources.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/Resource.h"

namespace {

// Static controls are never addressed, so they share one id.
constexpr UINT kStaticId = 0xFFFF;

constexpr MenuItemTemplate kGameMenu[] = {
    {"&Sound", ID_GAME_SOUND, {}},
    {"Colour-&blind palette", ID_GAME_PALETTE, {}},
    {nullptr, 0, {}},
#ifndef __EMSCRIPTEN__
    // A page cannot listen for connections.
    {"&Host Online Game...", ID_GAME_HOST_ONLINE, {}},
#endif
    {"&Join Online Game...", ID_GAME_JOIN_ONLINE, {}},
    {"E&xit", ID_APP_EXIT, {}},
};

constexpr MenuItemTemplate kKeysMenu[] = {
    {"Flight", ID_HELP_KEYS_FLIGHT, {}},
    {"Control", ID_HELP_KEYS_CONTROL, {}},
};

constexpr MenuItemTemplate kHelpMenu[] = {
    {"&General", ID_HELP_GENERAL, {}},
    {"&Keys", 0, kKeysMenu},
    {"&About", ID_APP_ABOUT, {}},
};

constexpr MenuItemTemplate kMenuBar[] = {
    {"&Game", 0, kGameMenu},
    {"&Help", 0, kHelpMenu},
};

constexpr MenuTemplate kMenus[] = {
    {IDR_MAINFRAME, kMenuBar},
};

// The edit and pane commands are bound but handled by nothing, so these keys do nothing.
constexpr AcceleratorEntry kMainAccelerators[] = {
    {FVIRTKEY | FCONTROL, 'C', ID_EDIT_COPY},
    {FVIRTKEY | FCONTROL, VK_INSERT, ID_EDIT_COPY},
    {FVIRTKEY | FCONTROL, 'V', ID_EDIT_PASTE},
    {FVIRTKEY | FSHIFT, VK_INSERT, ID_EDIT_PASTE},
    {FVIRTKEY | FCONTROL, 'X', ID_EDIT_CUT},
    {FVIRTKEY | FSHIFT, VK_DELETE, ID_EDIT_CUT},
    {FVIRTKEY | FCONTROL, 'Z', ID_EDIT_UNDO},
    {FVIRTKEY | FALT, VK_BACK, ID_EDIT_UNDO},
    {FVIRTKEY, VK_F6, ID_NEXT_PANE},
    {FVIRTKEY | FSHIFT, VK_F6, ID_PREV_PANE},
};

constexpr AcceleratorTable kAccelerators[] = {
    {IDR_MAINFRAME, kMainAccelerators},
};

// Ascending ids. Beside the program's own strings, the framework's standard command
// prompts; the frame has no status bar, so none of them is ever shown.
constexpr StringEntry kStrings[] = {
    {IDR_MAINFRAME, "Vexlor"},
    {AFX_IDS_APP_TITLE, "Vexlor"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {57632, "Erase the selection\nErase"},
    {57633, "Erase everything\nErase All"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {57636, "Find the specified text\nFind"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {57638, "Insert Clipboard contents and a link to their source\nPaste Link"},
    {57639, "Insert Clipboard contents in a chosen format\nPaste Special"},
    {57640, "Repeat the last action\nRepeat"},
    {57641, "Replace specific text with different text\nReplace"},
    {57642, "Select the entire document\nSelect All"},
    {ID_EDIT_UNDO, "Undo the last action\nUndo"},
    {57644, "Redo the previously undone action\nRedo"},
    {57653, "Split the active window into panes\nSplit"},
    {ID_APP_ABOUT, "Help"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    {59136, "EXT"},
    {59137, "CAP"},
    {59138, "NUM"},
    {59139, "SCRL"},
    {59140, "OVR"},
    {59141, "REC"},
    {61184, "Change the window size"},
    {61185, "Change the window position"},
    {61186, "Reduce the window to an icon"},
    {61187, "Enlarge the window to full size"},
    {61188, "Switch to the next document window"},
    {61189, "Switch to the previous document window"},
    {61190, "Close the active window and prompt to save the documents"},
    {61202, "Restore the window to normal size"},
    {61203, "Activate Task List"},
};

// The runs of spaces inside the texts align the columns; they are part of the texts.
constexpr DialogItemTemplate kAboutItems[] = {
    {DialogControl::Static, "Vexlor v1.2", 39, 7, 52, 8, kStaticId, SS_NOPREFIX},
    {DialogControl::DefPushButton, "OK", 76, 34, 50, 14, IDOK, 0},
};

// Player 3 moves backward with keypad 5, so that is the key its row names.
constexpr DialogItemTemplate kKeysItems[] = {
    {DialogControl::DefPushButton, "OK", 168, 77, 50, 14, IDOK, 0},
    {DialogControl::Static, "Keys:", 20, 2, 23, 8, kStaticId, 0},
    {DialogControl::Static, "Action:          Player 1:          Player 2:          Player 3:         Sentry", 2, 14, 216, 13, kStaticId, 0},
    {DialogControl::Static, "Forward        Up Arrow          W                    NumPad8         N/A", 2, 23, 216, 14, kStaticId, 0},
    {DialogControl::Static, "Backward      Down Arrow      S                     NumPad5         N/A", 2, 33, 216, 9, kStaticId, 0},
    {DialogControl::Static, "Left               Left Arrow        A                     NumPad4          J", 2, 44, 216, 9, kStaticId, 0},
    {DialogControl::Static, "Right             Right Arrow      D                     NumPad6          K", 2, 55, 216, 11, kStaticId, 0},
    {DialogControl::Static, "Fire               Enter                Space                    +                 L", 2, 65, 216, 11, kStaticId, 0},
};

constexpr DialogItemTemplate kGeneralItems[] = {
    {DialogControl::Static, "- Fly your ship around and shoot others", 7, 14, 129, 9, kStaticId, 0},
    {DialogControl::Static, "- Spinning flashy X's are power-ups", 7, 23, 132, 10, kStaticId, 0},
    {DialogControl::Static, "- Power-ups yield different effects", 7, 33, 148, 15, kStaticId, 0},
    {DialogControl::Static, "- Straight Brackets = Speed boost", 7, 44, 148, 15, kStaticId, 0},
    {DialogControl::Static, "- Diagonal Brackets = invulnerability", 7, 54, 152, 14, kStaticId, 0},
    {DialogControl::Static, "- There ARE different weapon classes", 7, 65, 128, 9, kStaticId, 0},
    {DialogControl::PushButton, "&OK", 133, 73, 38, 15, IDOK, 0},
};

constexpr DialogItemTemplate kControlKeysItems[] = {
    {DialogControl::DefPushButton, "OK", 55, 58, 50, 14, IDOK, 0},
    {DialogControl::Static, "Escape          Quit", 17, 17, 26, 11, kStaticId, 0},
    {DialogControl::Static, "F1 - F4", 17, 27, 26, 10, kStaticId, 0},
    {DialogControl::Static, "Toggle AI for ships 1-3 and sentry", 59, 26, 111, 9, kStaticId, 0},
    {DialogControl::Static, "PgUp/PgDown", 7, 36, 46, 10, kStaticId, 0},
    {DialogControl::Static, "Add/Remove ships", 59, 35, 64, 9, kStaticId, 0},
    {DialogControl::Static, "p", 23, 45, 9, 10, kStaticId, 0},
    {DialogControl::Static, "Pause", 59, 44, 24, 10, kStaticId, 0},
    {DialogControl::Static, "Quit", 59, 18, 14, 8, kStaticId, 0},
};

constexpr DialogItemTemplate kHostOnlineItems[] = {
    {DialogControl::Static, "&Port:", 7, 9, 40, 8, kStaticId, 0},
    {DialogControl::Edit, "7341", 50, 7, 50, 12, IDC_PORT, 0},
    {DialogControl::Static, "The game listens on this port on every network interface of this machine.", 7, 25, 206, 24,
     IDC_MESSAGE, SS_NOPREFIX},
    {DialogControl::DefPushButton, "OK", 108, 52, 50, 14, IDOK, 0},
    {DialogControl::PushButton, "Cancel", 163, 52, 50, 14, IDCANCEL, 0},
};

constexpr DialogItemTemplate kJoinOnlineItems[] = {
    {DialogControl::Static, "&Address (HOST[:PORT]):", 7, 9, 86, 8, kStaticId, 0},
    {DialogControl::Edit, "", 96, 7, 117, 12, IDC_ADDRESS, 0},
    {DialogControl::Static, "&Room code:", 7, 25, 86, 8, kStaticId, 0},
    {DialogControl::Edit, "", 96, 23, 117, 12, IDC_ROOM, 0},
    {DialogControl::Static, "", 7, 41, 206, 24, IDC_MESSAGE, SS_NOPREFIX},
    {DialogControl::DefPushButton, "OK", 108, 68, 50, 14, IDOK, 0},
    {DialogControl::PushButton, "Cancel", 163, 68, 50, 14, IDCANCEL, 0},
};

constexpr DialogItemTemplate kOnlineItems[] = {
    {DialogControl::Static, "", 7, 7, 246, 72, IDC_MESSAGE, SS_NOPREFIX},
    {DialogControl::DefPushButton, "OK", 105, 82, 50, 14, IDOK, 0},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_ABOUTBOX, "Vexlor", "MS Sans Serif", 8, 133, 55, kAboutItems},
    {IDD_KEYS, "Keys", "MS Shell Dlg", 8, 225, 95, kKeysItems},
    {IDD_GENERAL, "General", "MS Shell Dlg", 8, 186, 95, kGeneralItems},
    {IDD_CONTROL_KEYS, "Control Keys", "MS Shell Dlg", 8, 181, 79, kControlKeysItems},
    {IDD_HOST_ONLINE, "Host Online Game", "MS Shell Dlg", 8, 220, 73, kHostOnlineItems},
    {IDD_JOIN_ONLINE, "Join Online Game", "MS Shell Dlg", 8, 220, 89, kJoinOnlineItems},
    {IDD_ONLINE, "Online Game", "MS Shell Dlg", 8, 260, 103, kOnlineItems},
};

// The icon: player 1's swept arrowhead in red among a few stars on a night-blue field.
// '#' ship, ':' star, '.' field.
template <std::size_t N>
constexpr std::array<std::uint32_t, N * N> PaintIcon(const char (&rows)[N][N + 1])
{
    std::array<std::uint32_t, N * N> pixels{};
    for (std::size_t y = 0; y < N; ++y) {
        for (std::size_t x = 0; x < N; ++x) {
            const char c = rows[y][x];
            pixels[y * N + x] = c == '#' ? 0xFFFF0000u : c == ':' ? 0xFFA0A8C0u : 0xFF0A0C1Cu;
        }
    }
    return pixels;
}

constexpr char kIcon32Rows[32][33] = {
    "................................",
    "................................",
    ".............:..................",
    "....:......................##...",
    "........................####....",
    "....................####..##....",
    ".................###....###.....",
    "..............###......#..#.....",
    "...........###........#..#......",
    ".......####..........#...#......",
    "....###.............#...#.......",
    "..##...............#....#.......",
    "....###..........##....#........",
    ".......###......#......#....:...",
    "..........###..#......#.........",
    ".............##.......#.........",
    "..............#......#..........",
    "..............#.....#...........",
    "..............#.....#...........",
    "..............#....#............",
    "..............#....#............",
    ".....:.........#..#.............",
    "...............#..#.............",
    "...............#.#..............",
    "...............#.#..............",
    "...............##...............",
    "...............##...............",
    "...............#........:.......",
    "................................",
    ".........:......................",
    ".............................:..",
    "................................",
};

constexpr char kIcon16Rows[16][17] = {
    "................",
    "................",
    "..:.........##..",
    ".........####...",
    "......###..##...",
    "...###....##....",
    ".##......#.#....",
    "...###..#.#.....",
    "......##..#.....",
    ".......#.#...:..",
    ".......#.#......",
    ".......##.......",
    ".......##.......",
    "...:...#........",
    "................",
    "................",
};

constexpr auto kIcon32 = PaintIcon(kIcon32Rows);
constexpr auto kIcon16 = PaintIcon(kIcon16Rows);

constexpr IconImage kMainIconImages[] = {
    {32, kIcon32.data()},
    {16, kIcon16.data()},
};

constexpr IconResource kIcons[] = {
    {IDR_MAINFRAME, kMainIconImages},
};

}  // namespace

const ResourceModule g_arenaResources{kMenus, kAccelerators, kStrings, kDialogs, kIcons};

const VersionInfo g_versionInfo{
    {1, 1, 0, 0}, "Vexlor game", "1.1", "Vexlor", "Vexlor.EXE", "Vexlor", "1.1",
};
