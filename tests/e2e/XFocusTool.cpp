// A second X client for the real-window tests: it takes the keyboard from the game for a
// given time, and releases keys while it has it, as a player would while another window or
// a task switcher has the keyboard.
//
//   vexlor_xfocus away MS WINDOW KEYCODE...  a window of its own takes the focus, the keys
//                                           go up, and after MS ms the focus goes to WINDOW
//   vexlor_xfocus grab MS KEYCODE...         grabs the keyboard, the keys go up, and after
//                                           MS ms the grab ends
// Exits 0 once the server has done it all; 1 with a message when it could not.
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "vexlor_xfocus: %s\n", message.c_str());
    std::exit(1);
}

unsigned long Number(const char* text)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 0);
    if (!*text || *end)
        Fail(std::string("not a number: ") + text);
    return value;
}

// Waits until the server has handled every request sent so far.
void Sync(xcb_connection_t* connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    if (xcb_connection_has_error(connection))
        Fail("the X connection broke");
}

void ReleaseKeys(xcb_connection_t* connection, const std::vector<std::uint8_t>& keycodes)
{
    for (const std::uint8_t keycode : keycodes)
        xcb_test_fake_input(connection, XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
}

// A small window that a window manager leaves alone, mapped and viewable, so that it can
// take the focus.
xcb_window_t MapOwnWindow(xcb_connection_t* connection, const xcb_screen_t& screen)
{
    const xcb_window_t window = xcb_generate_id(connection);
    const std::uint32_t values[] = {screen.white_pixel, 1, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen.root, 0, 0, 40, 40, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    xcb_map_window(connection, window);
    xcb_flush(connection);
    while (xcb_generic_event_t* const event = xcb_wait_for_event(connection)) {
        const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
        std::free(event);
        if (mapped)
            return window;
    }
    Fail("the window was never mapped");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        Fail("usage: vexlor_xfocus away MS WINDOW KEYCODE... | grab MS KEYCODE...");
    const std::string mode = argv[1];
    const auto away = std::chrono::milliseconds(Number(argv[2]));
    int first = 3;
    xcb_window_t back = XCB_NONE;
    if (mode == "away") {
        if (argc < 4)
            Fail("away needs the window to give the focus back to");
        back = xcb_window_t(Number(argv[3]));
        first = 4;
    } else if (mode != "grab") {
        Fail("unknown mode " + mode);
    }
    std::vector<std::uint8_t> keycodes;
    for (int i = first; i < argc; ++i)
        keycodes.push_back(std::uint8_t(Number(argv[i])));

    xcb_connection_t* const connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        Fail("cannot open the display");
    const xcb_screen_t& screen = *xcb_setup_roots_iterator(xcb_get_setup(connection)).data;

    if (mode == "away") {
        const xcb_window_t own = MapOwnWindow(connection, screen);
        const auto start = std::chrono::steady_clock::now();
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, own, XCB_CURRENT_TIME);
        ReleaseKeys(connection, keycodes);
        Sync(connection);
        std::this_thread::sleep_until(start + away);
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, back, XCB_CURRENT_TIME);
        Sync(connection);
    } else {
        const auto start = std::chrono::steady_clock::now();
        const std::unique_ptr<xcb_grab_keyboard_reply_t, decltype(&std::free)> grab(
            xcb_grab_keyboard_reply(connection,
                                    xcb_grab_keyboard(connection, 0, screen.root, XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr),
            &std::free);
        if (!grab || grab->status != XCB_GRAB_STATUS_SUCCESS)
            Fail("the keyboard could not be grabbed");
        ReleaseKeys(connection, keycodes);
        Sync(connection);
        std::this_thread::sleep_until(start + away);
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
        Sync(connection);
    }
    xcb_disconnect(connection);
    return 0;
}
