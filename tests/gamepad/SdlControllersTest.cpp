// The desktop's controllers without a display or a real device: SDL's virtual game
// controllers, pumped by the Qt backend into the seats, hold the seats' keys. Only the
// tests' own virtual devices are seen.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/ControllerSeats.h"
#include "platform/sdl/SdlControllers.h"
#include "platform/wnd/Backend.h"
#include "platform/wnd/Keyboard.h"
#include "platform/wnd/Wnd.h"
#include "support/TestSupport.h"

namespace {

constexpr Uint16 kVendor = 0x7E57;
constexpr Uint16 kPad = 0x0001;    // the standard layout, mapped by SDL itself
constexpr Uint16 kPlain = 0x0002;  // a joystick SDL knows no mapping for

using testsupport::Held;

class SdlControllers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KeyboardReleaseAll();
        SDL_SetHint(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT, "0x7e57/0x0001,0x7e57/0x0002");
        // The tests' own hold on the joysticks, to attach and move virtual ones.
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        SetControllerSeats(g_controllerSeats, &m_game, nullptr);
        NativeGameFocus(true);
        Start();
    }
    void TearDown() override
    {
        while (!m_devices.empty())
            Unplug(0);
        m_sdl.reset();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        SetControllerSeats({}, nullptr, nullptr);
        NativeGameFocus(false);
        KeyboardReleaseAll();
    }

    void Start()
    {
        m_sdl = std::make_unique<CSdlControllers>();
        ASSERT_TRUE(m_sdl->m_started) << SDL_GetError();
        m_sdl->Pump();
    }

    // Plugs in a virtual device without pumping, a pad of the standard layout or a plain
    // stick of two axes and eight buttons; returns its place in m_devices.
    int Attach(bool plain = false)
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = Uint16(plain ? SDL_JOYSTICK_TYPE_UNKNOWN : SDL_JOYSTICK_TYPE_GAMECONTROLLER);
        desc.naxes = Uint16(plain ? 2 : SDL_CONTROLLER_AXIS_MAX);
        desc.nbuttons = Uint16(plain ? 8 : SDL_CONTROLLER_BUTTON_MAX);
        desc.vendor_id = kVendor;
        desc.product_id = plain ? kPlain : kPad;
        desc.name = plain ? "Vexlor test stick" : "Vexlor test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* const joystick = SDL_JoystickOpen(index);
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
        m_devices.push_back(joystick);
        return int(m_devices.size()) - 1;
    }
    int Plug()
    {
        const int device = Attach();
        m_sdl->Pump();
        return device;
    }
    void Unplug(int device)
    {
        SDL_Joystick* const joystick = m_devices[std::size_t(device)];
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id)
                SDL_JoystickDetachVirtual(index);
        }
        SDL_JoystickClose(joystick);
        m_devices.erase(m_devices.begin() + device);
        if (m_sdl)
            m_sdl->Pump();
    }
    int Seat(int device) const { return ControllerSeatOf(SDL_JoystickInstanceID(m_devices[std::size_t(device)])); }
    void Axis(int device, int axis, Sint16 value)
    {
        SDL_JoystickSetVirtualAxis(m_devices[std::size_t(device)], axis, value);
        m_sdl->Pump();
    }
    void Button(int device, int button, bool pressed)
    {
        SDL_JoystickSetVirtualButton(m_devices[std::size_t(device)], button, pressed ? 1 : 0);
        m_sdl->Pump();
    }
    CWnd m_game;  // detached: the key messages go nowhere, the key table is what is judged
    std::unique_ptr<CSdlControllers> m_sdl;
    std::vector<SDL_Joystick*> m_devices;
};

// What SDL reports becomes the seat's keys; the seat rules themselves are the seat tests'.
TEST_F(SdlControllers, TheStickDpadAndButtonsOfTheStandardLayoutHoldTheSeatsKeys)
{
    const int pad = Plug();
    ASSERT_EQ(Seat(pad), 0);
    // An axis row moves the axis to the value and back to 0.
    const struct { bool axis; int input, value; UINT key; } rows[] = {
        {true, SDL_CONTROLLER_AXIS_LEFTY, -32768, VK_UP},     {true, SDL_CONTROLLER_AXIS_LEFTX, -20000, VK_LEFT},
        {false, SDL_CONTROLLER_BUTTON_DPAD_UP, 1, VK_UP},     {false, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1, VK_DOWN},
        {false, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1, VK_LEFT}, {false, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1, VK_RIGHT},
        {false, SDL_CONTROLLER_BUTTON_A, 1, VK_RETURN},       {false, SDL_CONTROLLER_BUTTON_BACK, 1, VK_F1},
        {false, SDL_CONTROLLER_BUTTON_START, 1, 'P'},
    };
    for (const auto& [axis, input, value, key] : rows) {
        axis ? Axis(pad, input, Sint16(value)) : Button(pad, input, true);
        EXPECT_TRUE(Held(key)) << input;
        axis ? Axis(pad, input, 0) : Button(pad, input, false);
        EXPECT_FALSE(Held(key)) << input;
    }
    // Other buttons and the right stick hold nothing.
    for (int button : {SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y,
                       SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_GUIDE})
        Button(pad, button, true);
    Axis(pad, SDL_CONTROLLER_AXIS_RIGHTY, -32768);
    EXPECT_EQ(testsupport::HeldKeys(), std::set<UINT>{});
}

TEST_F(SdlControllers, UnpluggingReleasesWhatWasHeldAndPluggingAgainTakesTheSeat)
{
    const int pad = Plug();
    Button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    ASSERT_TRUE(Held(VK_UP));
    Unplug(pad);
    EXPECT_FALSE(Held(VK_UP));
    EXPECT_EQ(Seat(Plug()), 0);
}

TEST_F(SdlControllers, ControllersPresentAtStartUpAreSeatedInTheFirstPump)
{
    m_sdl.reset();
    Attach();
    Attach();
    Start();
    EXPECT_EQ(Seat(0), 0);
    EXPECT_EQ(Seat(1), 1);
    Button(1, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_TRUE(Held('A'));
}

TEST_F(SdlControllers, AMappingFromTheEnvironmentMakesAJoystickAController)
{
    m_sdl.reset();
    int stick = Attach(true);
    Start();
    EXPECT_EQ(Seat(stick), -1) << "SDL has a mapping of its own for the test stick";
    char guid[64];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(m_devices[std::size_t(stick)]), guid, sizeof guid);
    Unplug(stick);

    // SDL reads the variable when its joystick subsystem starts, as it does when the game starts.
    m_sdl.reset();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    const std::string mapping = std::string(guid) + ",Vexlor test stick,a:b3,back:b0,start:b1,leftx:a0,lefty:a1,platform:Linux";
    ASSERT_EQ(setenv("SDL_GAMECONTROLLERCONFIG", mapping.c_str(), 1), 0);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    stick = Attach(true);
    Start();
    unsetenv("SDL_GAMECONTROLLERCONFIG");
    EXPECT_EQ(Seat(stick), 0);
    // Its button 3 is the south button, 0 is Back, 2 is nothing; its second axis goes up.
    Button(stick, 2, true);
    EXPECT_FALSE(Held(VK_RETURN));
    Button(stick, 3, true);
    EXPECT_TRUE(Held(VK_RETURN));
    Button(stick, 0, true);
    EXPECT_TRUE(Held(VK_F1));
    Axis(stick, 1, -32768);
    EXPECT_TRUE(Held(VK_UP));
}

}  // namespace
