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
    ID_GAME_HOST_ONLINE = 141,
    ID_GAME_JOIN_ONLINE = 142,
    ID_ONLINE_NEWS = 143,      // posted by the online game: a room to show, or its end
    IDD_HOST_ONLINE = 150,
    IDD_JOIN_ONLINE = 151,
    IDD_ONLINE = 152,          // a message about the online game
    IDC_PORT = 1000,
    IDC_ADDRESS = 1001,
    IDC_ROOM = 1002,
    IDC_MESSAGE = 1003,
};
