// The browser backend: the window layer's backend functions over the page's elements
// (Page.js, Input.js, Touch.js), and the entry points through which the page feeds its
// events in. The frame's resources and the dialogs are in PageResources.cpp.
#include <emscripten/emscripten.h>

#include <string>

#include "platform/web/NativeWindow.h"
#include "platform/wnd/DialogLayout.h"
#include "platform/wnd/Wnd.h"

namespace {

constexpr int kSlots = 16;
CNativeWindow s_windows[kSlots];
int s_ticks = 0;

CNativeWindow* WindowAt(int slot)
{
    if (slot < 0 || slot >= kSlots || !s_windows[slot].m_wnd)
        return nullptr;
    return &s_windows[slot];
}

void SetVisible(CNativeWindow& window, bool visible)
{
    if (window.m_visible == visible)
        return;
    window.m_visible = visible;
    vexlor_to_page_show(window.m_slot, visible ? 1 : 0);
    if (window.m_wnd)
        NativeShow(*window.m_wnd, visible);
    for (CNativeWindow& child : s_windows) {
        if (child.m_wnd && child.m_parent == &window)
            SetVisible(child, visible && child.m_shown);
    }
}


void Paint(CNativeWindow& window)
{
    window.m_paintPending = false;
    if (!window.m_wnd || !window.m_visible)
        return;
    window.m_inPaint = true;
    NativePaint(*window.m_wnd);
    window.m_inPaint = false;
}

}  // namespace

void UpdateClientSize(CNativeWindow& window)
{
    int size[2] = {};
    vexlor_to_page_client_size(window.m_slot, size);
    const CSize client{size[0], size[1]};
    if (client == window.m_client)
        return;
    window.m_client = client;
    if (!window.m_wnd)
        return;
    NativeSize(*window.m_wnd, client);
    // A canvas loses its pixels with its size: it is painted again, as an exposed window is.
    if (window.m_wnd && !window.m_topLevel) {
        window.m_lostPixels = true;
        backend::InvalidateNativeWindow(window);
    }
}

// --- From the page to the program ---------------------------------------------------------
extern "C" {

// A file the page opened (its picker or a drop), copied into the module's memory. Null when
// the application took it, else the one line that says why not, for the page to show.
EMSCRIPTEN_KEEPALIVE const char* vexlor_from_page_open_file(const std::uint8_t* bytes, int size)
{
    static std::string error;
    error.clear();
    return NativeFileOpened(std::span(bytes, std::size_t(size)), error) ? nullptr : error.c_str();
}

EMSCRIPTEN_KEEPALIVE int vexlor_from_page_key(int virtualKey, int scanCode, int pressed, int autoRepeat)
{
    CNativeWindow* const focused = WindowAt(vexlor_to_page_focused_slot());
    return NativeKey(focused ? focused->m_wnd : nullptr, UINT(virtualKey), std::uint32_t(scanCode), pressed != 0,
                     autoRepeat != 0);
}

EMSCRIPTEN_KEEPALIVE void vexlor_from_page_keyboard_lost()
{
    NativeKeyboardLost();
}

EMSCRIPTEN_KEEPALIVE void vexlor_from_page_game_focus(int focused)
{
    NativeGameFocus(focused != 0);
}

// The page's layout changed: every window reads its client size again, parents first.
EMSCRIPTEN_KEEPALIVE void vexlor_from_page_layout()
{
    for (CNativeWindow& window : s_windows) {
        if (window.m_wnd && window.m_topLevel)
            UpdateClientSize(window);
    }
}

EMSCRIPTEN_KEEPALIVE void vexlor_from_page_paint(int slot)
{
    if (CNativeWindow* const window = WindowAt(slot))
        Paint(*window);
}

EMSCRIPTEN_KEEPALIVE void vexlor_from_page_timer(int slot, int id)
{
    if (CNativeWindow* const window = WindowAt(slot)) {
        ++s_ticks;
        NativeTimer(*window->m_wnd, UINT_PTR(id));
    }
}

EMSCRIPTEN_KEEPALIVE void vexlor_from_page_focus_in(int slot)
{
    if (CNativeWindow* const window = WindowAt(slot))
        NativeFocusIn(*window->m_wnd);
}

EMSCRIPTEN_KEEPALIVE void vexlor_from_page_command(int slot, int id, int source)
{
    if (CNativeWindow* const window = WindowAt(slot))
        NativeCommand(*window->m_wnd, UINT(id), UINT(source));
}

// The page's game controllers (the Gamepad API's index is the id) and touch seats (a seat of
// their own, -1 for none); button and axis are ControllerButton and ControllerAxis in
// declaration order.
EMSCRIPTEN_KEEPALIVE void vexlor_from_page_controller_added(int id, int seat)
{
    NativeControllerAdded(id, seat);
}

EMSCRIPTEN_KEEPALIVE int vexlor_from_page_controller_seat(int id)
{
    return ControllerSeatOf(id);
}

EMSCRIPTEN_KEEPALIVE void vexlor_from_page_controller_removed(int id)
{
    NativeControllerRemoved(id);
}

EMSCRIPTEN_KEEPALIVE void vexlor_from_page_controller_button(int id, int button, int pressed)
{
    NativeControllerButton(id, ControllerButton(button), pressed != 0);
}

EMSCRIPTEN_KEEPALIVE void vexlor_from_page_controller_axis(int id, int axis, int value)
{
    NativeControllerAxis(id, ControllerAxis(axis), value);
}

// Timer expiries so far, for the page's measurements.
EMSCRIPTEN_KEEPALIVE int vexlor_from_page_ticks()
{
    return s_ticks;
}

}  // extern "C"

namespace backend {

CNativeWindow* CreateNativeWindow(CWnd& wnd, const CREATESTRUCT& cs, CNativeWindow* parent)
{
    for (int slot = 0; slot < kSlots; ++slot) {
        CNativeWindow& window = s_windows[slot];
        if (window.m_wnd)
            continue;
        window = CNativeWindow{};
        window.m_wnd = &wnd;
        window.m_slot = slot;
        window.m_topLevel = !parent || !(cs.style & WS_CHILD);
        window.m_parent = window.m_topLevel ? nullptr : parent;
        window.m_edge = WindowEdge(cs, window.m_topLevel);
        vexlor_to_page_create(slot, window.m_parent ? window.m_parent->m_slot : -1, window.m_edge,
                           window.m_topLevel ? cs.lpszName : nullptr);
        if (!window.m_topLevel)
            MoveNativeWindow(window, CRect(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy));
        return &window;
    }
    return nullptr;
}

void DestroyNativeWindow(CNativeWindow* window)
{
    // Children first: the page takes their elements with their parent's.
    for (CNativeWindow& child : s_windows) {
        if (child.m_wnd && child.m_parent == window)
            DestroyNativeWindow(&child);
    }
    vexlor_to_page_stop_timers(window->m_slot);
    vexlor_to_page_destroy(window->m_slot);
    window->m_wnd = nullptr;
    window->m_rgba.reset();
}

void ShowNativeWindow(CNativeWindow& window, bool show)
{
    window.m_shown = show;
    SetVisible(window, show && (!window.m_parent || window.m_parent->m_visible));
    if (show && window.m_topLevel) {
        UpdateClientSize(window);
        vexlor_to_page_focus(window.m_slot);
    }
}

bool IsNativeWindowVisible(const CNativeWindow& window)
{
    return window.m_shown;
}

CSize GetClientSize(const CNativeWindow& window)
{
    return window.m_client;
}

// The page's title stands for the frame's.
void SetWindowTitle(CNativeWindow& window, const std::string& title)
{
    if (window.m_topLevel)
        EM_ASM({ document.title = UTF8ToString($0); }, title.c_str());
}

// The page's client area is what the browser window gives it.
void SetClientSize(CNativeWindow&, CSize) {}

// The page fills the screen or leaves it; the browser's resize event brings the new size.
void ToggleFullScreen(CNativeWindow& window)
{
    if (window.m_topLevel)
        vexlor_to_page_toggle_full_screen();
}

void MoveNativeWindow(CNativeWindow& window, const CRect& rect)
{
    if (window.m_topLevel)
        return;
    vexlor_to_page_move(window.m_slot, rect.left, rect.top, rect.Width(), rect.Height());
    UpdateClientSize(window);
}

void InvalidateNativeWindow(CNativeWindow& window)
{
    if (window.m_paintPending)
        return;
    window.m_paintPending = true;
    vexlor_to_page_request_paint(window.m_slot);
}

void UpdateNativeWindow(CNativeWindow& window)
{
    if (window.m_paintPending)
        Paint(window);
}

bool StartTimer(CNativeWindow& window, UINT_PTR id, UINT elapse)
{
    vexlor_to_page_start_timer(window.m_slot, int(id), int(elapse));
    return true;
}

bool BeginPaint(CNativeWindow& window)
{
    return window.m_inPaint;
}

void EndPaint(CNativeWindow&) {}

void PutImage(CNativeWindow& window, CPoint to, const CBitmap& source, const CRect& from, const CRegion& changed)
{
    if (!window.m_inPaint || !source.m_pixels || from.IsRectEmpty())
        return;
    const int size = source.m_width * source.m_height;
    if (window.m_rgbaSize != size) {
        window.m_rgba = std::make_unique<std::uint32_t[]>(std::size_t(size));
        window.m_rgbaSize = size;
        window.m_lostPixels = true;
    }
    const auto put = [&window, &source, &from, to](const CRect& rect) {
        const CRect r = Intersection(rect, from);
        if (r.IsRectEmpty())
            return;
        // 0xAARRGGBB words to R, G, B, A bytes, opaque; only the rows and columns put.
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* const in = source.m_pixels.get() + std::size_t(y) * source.m_width;
            std::uint32_t* const out = window.m_rgba.get() + std::size_t(y) * source.m_width;
            for (int x = r.left; x < r.right; ++x)
                out[x] = 0xFF000000u | PagePixel(in[x]);
        }
        vexlor_to_page_put_image(window.m_slot, window.m_rgba.get(), source.m_width, source.m_height, r.left, r.top,
                              r.Width(), r.Height(), to.x + r.left - from.left, to.y + r.top - from.top);
    };
    if (window.m_lostPixels) {
        window.m_lostPixels = false;
        put(from);
        return;
    }
    for (int i = 0; i < changed.m_count; ++i)
        put(changed.m_rects[i]);
}

void EraseBackground(CNativeWindow& window)
{
    if (window.m_inPaint)
        vexlor_to_page_erase(window.m_slot, window.m_client.cx, window.m_client.cy);
}

void PostCommand(CNativeWindow& window, UINT id, UINT source)
{
    vexlor_to_page_post_command(window.m_slot, int(id), int(source));
}

void SetFocus(CNativeWindow& window)
{
    vexlor_to_page_focus(window.m_slot);
}

CWnd* GetFocusWnd()
{
    const CNativeWindow* const window = WindowAt(vexlor_to_page_focused_slot());
    return window ? window->m_wnd : nullptr;
}

// The page's own event loop runs on after main returns; the program's state stays.
int RunEventLoop()
{
    emscripten_exit_with_live_runtime();
    return 0;
}

void QuitEventLoop(int)
{
    vexlor_to_page_end();
}

}  // namespace backend
