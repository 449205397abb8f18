#pragma once
// Resource ids of the shell.
#include "platform/wnd/Messages.h"

enum : UINT {
    IDR_MAINFRAME = 128,       // the frame's menu, accelerators, icon and title string
    IDD_ABOUTBOX = 100,
    IDD_KEYS = 9,              // flight keys, titled "Keys"
    IDD_GENERAL = 135,
    IDD_CONTROL_KEYS = 138,
    ID_HELP_GENERAL = 134,
    ID_HELP_KEYS_FLIGHT = 136,
    ID_HELP_KEYS_CONTROL = 137,
    ID_GAME_SOUND = 139,       // the Game menu's check items
    ID_GAME_PALETTE = 140,
};
