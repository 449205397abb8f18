#pragma once
// Resources as constant tables, the way a resource script describes them: menus,
// accelerators, strings, dialog templates and icons. The application hands its module
// to the layer once (AfxSetResourceModule); the layer looks them up by id.
#include <cstdint>
#include <span>

#include "platform/wnd/Messages.h"

struct MenuItemTemplate
{
    const char* text;                         // '&' marks the mnemonic
    UINT command;                             // 0 for a submenu
    std::span<const MenuItemTemplate> popup;  // the submenu's items, empty for a command
};

struct MenuTemplate
{
    UINT id;
    std::span<const MenuItemTemplate> items;  // the menu bar's popups
};

enum : std::uint8_t { FVIRTKEY = 0x01, FSHIFT = 0x04, FCONTROL = 0x08, FALT = 0x10 };

struct AcceleratorEntry
{
    std::uint8_t flags;
    UINT key;  // a virtual key
    UINT command;
};

struct AcceleratorTable
{
    UINT id;
    std::span<const AcceleratorEntry> entries;
};

// The virtual key of an entry: without FVIRTKEY its key is a character, whose virtual key is
// that of the capital letter.
UINT AcceleratorVirtualKey(const AcceleratorEntry& entry);

struct StringEntry
{
    UINT id;
    const char* text;
};

enum class DialogControl { Static, PushButton, DefPushButton, Edit };
enum : DWORD { SS_NOPREFIX = 0x80 };

struct DialogItemTemplate
{
    DialogControl kind;
    const char* text;
    int x, y, cx, cy;  // dialog units
    UINT id;
    DWORD style;
};

struct DialogTemplate
{
    UINT id;
    const char* title;
    const char* fontFace;
    int pointSize;
    int cx, cy;  // dialog units
    std::span<const DialogItemTemplate> items;
};

struct IconImage
{
    int size;                       // width and height in pixels
    const std::uint32_t* pixels;    // size * size pixels, 0xAARRGGBB
};

struct IconResource
{
    UINT id;
    std::span<const IconImage> images;
};

struct ResourceModule
{
    std::span<const MenuTemplate> menus;
    std::span<const AcceleratorTable> accelerators;
    std::span<const StringEntry> strings;
    std::span<const DialogTemplate> dialogs;
    std::span<const IconResource> icons;
};

void AfxSetResourceModule(const ResourceModule* module);
const ResourceModule* AfxGetResourceModule();

const MenuTemplate* FindMenu(UINT id);
const AcceleratorTable* FindAccelerators(UINT id);
const char* LoadString(UINT id);  // null when the table has no such string
const DialogTemplate* FindDialog(UINT id);
const IconResource* FindIcon(UINT id);
