#pragma once
// Message numbers, parameter types and the virtual keys the game and its shell use.
#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT = unsigned int;
using UINT_PTR = std::uintptr_t;
using DWORD = std::uint32_t;

enum : UINT {
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_SETFOCUS = 0x0007,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_ERASEBKGND = 0x0014,
    WM_SHOWWINDOW = 0x0018,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113,
    // The layer's own, in the application's range: a controller took seat wParam (lParam 1)
    // or left it (lParam 0); see Controllers.h.
    WM_CONTROLLERSEAT = 0x8001,
};

// Key messages carry the virtual key in wParam and, in lParam, the repeat count in
// bits 0-15 and the flags (scan code and the rest) in bits 16-31.
// Size messages carry the type in wParam and the width and height in the low and
// high 16 bits of lParam.
constexpr LPARAM MakeLParam(unsigned low, unsigned high)
{
    return LPARAM((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr unsigned LoWord(LPARAM l) { return unsigned(l) & 0xFFFFu; }
constexpr unsigned HiWord(LPARAM l) { return (unsigned(l) >> 16) & 0xFFFFu; }

enum : UINT { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

enum : UINT {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D,
    VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
    VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
    VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    VK_NUMPAD0 = 0x60, VK_NUMPAD1, VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD4,
    VK_NUMPAD5, VK_NUMPAD6, VK_NUMPAD7, VK_NUMPAD8, VK_NUMPAD9,
    VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
    VK_F1 = 0x70, VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7, VK_F8, VK_F9, VK_F10, VK_F11, VK_F12,
};

// Window styles the shell names; the Qt side honours what it can and records the rest.
enum : DWORD {
    WS_OVERLAPPED = 0x00000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000,
    WS_BORDER = 0x00800000, WS_CAPTION = 0x00C00000, WS_SYSMENU = 0x00080000,
    WS_THICKFRAME = 0x00040000, WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000,
    WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
    FWS_ADDTOTITLE = 0x00008000,
    WS_EX_CLIENTEDGE = 0x00000200,
};

enum : UINT { CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008 };
enum : int { SW_HIDE = 0, SW_SHOW = 5, SW_SHOWNORMAL = 1 };

// Ids the framework itself defines.
enum : UINT {
    IDOK = 1, IDCANCEL = 2,
    ID_EDIT_COPY = 57634, ID_EDIT_CUT = 57635, ID_EDIT_PASTE = 57637, ID_EDIT_UNDO = 57643,
    ID_APP_ABOUT = 57664, ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680, ID_PREV_PANE = 57681,
    AFX_IDW_PANE_FIRST = 59648,
    AFX_IDS_APP_TITLE = 57344, AFX_IDS_IDLEMESSAGE = 57345,
};

struct CREATESTRUCT
{
    const char* lpszClass = nullptr;
    const char* lpszName = nullptr;
    DWORD style = 0;
    DWORD dwExStyle = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT classStyle = 0;   // the class styles a PreCreateWindow registers
    bool arrowCursor = false;
    bool systemBackground = false;
};
