#pragma once
// The browser backend's windows, and the page's functions the program calls (Page.js,
// Menu.js, Dialogs.js). Each native window is a slot in a small fixed table; the page knows
// a window by its slot number, so an event that arrives after the window is gone finds an
// empty slot.
#include <cstdint>
#include <memory>

#include "platform/wnd/Backend.h"

extern "C" {
void vexlor_to_page_create(int slot, int parent, int edge, const char* title);
void vexlor_to_page_destroy(int slot);
void vexlor_to_page_show(int slot, int shown);
void vexlor_to_page_move(int slot, int x, int y, int width, int height);
// The client area's width and height, in that order.
void vexlor_to_page_client_size(int slot, int* size);
void vexlor_to_page_request_paint(int slot);
void vexlor_to_page_start_timer(int slot, int id, int elapse);
void vexlor_to_page_stop_timers(int slot);
void vexlor_to_page_put_image(int slot, const std::uint32_t* rgba, int width, int height, int fromX, int fromY,
                              int fromWidth, int fromHeight, int toX, int toY);
void vexlor_to_page_erase(int slot, int width, int height);
void vexlor_to_page_set_menu(int slot, const char* json);
void vexlor_to_page_check_menu(int command, int checked);
void vexlor_to_page_set_icon(const std::uint32_t* rgba, int size);
void vexlor_to_page_measure_dialog_font(int pointSize, int* alphabetWidthAndHeight);
void vexlor_to_page_run_dialog(const char* json, int owner);
void vexlor_to_page_dialog_text(int id, char* buffer, int size);
void vexlor_to_page_set_dialog_text(int id, const char* text);
void vexlor_to_page_focus(int slot);
int vexlor_to_page_focused_slot();
void vexlor_to_page_post_command(int slot, int id, int source);
void vexlor_to_page_end();
void vexlor_to_page_toggle_full_screen();
int vexlor_to_page_load_option(const char* name, int fallback);
void vexlor_to_page_save_option(const char* name, int value);
}

class CNativeWindow
{
public:
    CWnd* m_wnd = nullptr;
    int m_slot = -1;
    CNativeWindow* m_parent = nullptr;
    int m_edge = 0;
    bool m_topLevel = false;
    bool m_shown = false;    // asked to show
    bool m_visible = false;  // shown, and its parent visible
    bool m_inPaint = false;
    bool m_paintPending = false;
    // The canvas has lost its pixels (new, or resized): the next put is whole.
    bool m_lostPixels = true;
    CSize m_client{};
    // The pixels put on the canvas, as the page's image data wants them (R, G, B, A bytes).
    std::unique_ptr<std::uint32_t[]> m_rgba;
    int m_rgbaSize = 0;
};

// A surface pixel (0xAARRGGBB) as the R, G, B, A bytes of the page's image data, its alpha kept.
constexpr std::uint32_t PagePixel(std::uint32_t pixel)
{
    return (pixel & 0xFF00FF00u) | ((pixel >> 16) & 0xFFu) | ((pixel & 0xFFu) << 16);
}

// Reads the page's client size of the window again; a change is the window's size event.
void UpdateClientSize(CNativeWindow& window);
