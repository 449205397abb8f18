// The desktop's controllers end to end without a display or a real device: SDL's virtual
// game controllers of the standard layout, pumped by the Qt backend into the seats, drive
// the ships of a detached arena. Only the tests' own virtual devices are seen.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/ControllerSeats.h"
#include "arena/ArenaTestKit.h"
#include "platform/qt/SdlControllers.h"
#include "platform/wnd/Backend.h"

namespace {

constexpr Uint16 kVendor = 0x7E57;
constexpr Uint16 kPad = 0x0001;    // the standard layout, mapped by SDL itself
constexpr Uint16 kPlain = 0x0002;  // a joystick SDL knows no mapping for

bool Held(UINT key)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    return (keys[key] & 0x80) != 0;
}

class SdlControllers : public arenatest::ArenaTest
{
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        Calm();
        SDL_SetHint(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT, "0x7e57/0x0001,0x7e57/0x0002");
        // The tests' own hold on the joysticks, to attach and move virtual ones.
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        SetControllerSeats(g_controllerSeats, m_arena.get());
        NativeGameFocus(true);
        Start();
    }
    void TearDown() override
    {
        while (!m_devices.empty())
            Unplug(0);
        m_sdl.reset();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        SetControllerSeats({}, nullptr);
        NativeGameFocus(false);
        ArenaTest::TearDown();
    }

    void Start()
    {
        m_sdl = std::make_unique<CSdlControllers>();
        ASSERT_TRUE(m_sdl->m_started) << SDL_GetError();
        m_sdl->Pump();
    }

    // Plugs in a virtual device without pumping; returns its place in m_devices.
    int Attach(Uint16 product = kPad, SDL_JoystickType type = SDL_JOYSTICK_TYPE_GAMECONTROLLER, int axes = SDL_CONTROLLER_AXIS_MAX,
               int buttons = SDL_CONTROLLER_BUTTON_MAX)
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = Uint16(type);
        desc.naxes = Uint16(axes);
        desc.nbuttons = Uint16(buttons);
        desc.vendor_id = kVendor;
        desc.product_id = product;
        desc.name = product == kPad ? "Vexlor test pad" : "Vexlor test stick";
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

    std::unique_ptr<CSdlControllers> m_sdl;
    std::vector<SDL_Joystick*> m_devices;
};

TEST_F(SdlControllers, TheStickAndButtonsFlyShipOne)
{
    const int pad = Plug();
    ASSERT_EQ(Seat(pad), 0);

    Axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    EXPECT_TRUE(Held(VK_UP));
    Poll();
    EXPECT_DOUBLE_EQ(Ship(0).m_velocity.m_x, arenatest::kThrustStep);
    EXPECT_DOUBLE_EQ(Ship(0).m_velocity.m_y, 0.0);
    EXPECT_DOUBLE_EQ(Ship(1).m_velocity.m_x, 0.0);
    // Inside the dead zone nothing is held.
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -8000);
    EXPECT_FALSE(Held(VK_UP));
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, -20000);
    EXPECT_TRUE(Held(VK_LEFT));
    Poll();
    EXPECT_NEAR(Ship(0).m_heading.Angle(), -6.0, 1e-9);
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);

    Button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    Poll();
    EXPECT_NEAR(Ship(0).m_heading.Angle(), 0.0, 1e-9);
    Button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);

    ASSERT_EQ(Ship(0).FindFreeBullet(), 0);
    Button(pad, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(Held(VK_RETURN));
    Poll();
    EXPECT_EQ(Ship(0).FindFreeBullet(), 1);
    Button(pad, SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_FALSE(Held(VK_RETURN));

    // Other buttons hold nothing.
    for (int button : {SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y,
                       SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_GUIDE})
        Button(pad, button, true);
    Axis(pad, SDL_CONTROLLER_AXIS_RIGHTY, -32768);
    BYTE keys[256];
    GetKeyboardState(keys);
    for (int key = 0; key < 256; ++key)
        EXPECT_EQ(keys[key], 0) << "key " << key;

    // Back hands ship 1 to the autopilot on release; Start pauses on release.
    Button(pad, SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_FALSE(Ship(0).m_autopilot);
    Button(pad, SDL_CONTROLLER_BUTTON_BACK, false);
    EXPECT_TRUE(Ship(0).m_autopilot);
    Button(pad, SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(Held('P'));
    EXPECT_FALSE(Arena().m_paused);
    Button(pad, SDL_CONTROLLER_BUTTON_START, false);
    EXPECT_TRUE(Arena().m_paused);
}

TEST_F(SdlControllers, UnpluggingWhileForwardIsHeldReleasesIt)
{
    const int pad = Plug();
    Button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    ASSERT_TRUE(Held(VK_UP));
    ASSERT_TRUE(Held(VK_RIGHT));
    Unplug(pad);
    EXPECT_FALSE(Held(VK_UP));
    EXPECT_FALSE(Held(VK_RIGHT));
    Poll();
    EXPECT_DOUBLE_EQ(Ship(0).m_velocity.m_x, 0.0);
    EXPECT_NEAR(Ship(0).m_heading.Angle(), 0.0, 1e-9);
    // Plugged in again, it takes ship 1 again.
    EXPECT_EQ(Seat(Plug()), 0);
}

TEST_F(SdlControllers, MoreControllersTakeShipsTwoAndThreeThenTheSentryThenWait)
{
    Ship(1).m_autopilot = Ship(2).m_autopilot = Sentry().m_autopilot = true;
    for (int i = 0; i < 5; ++i)
        Plug();
    EXPECT_EQ(Seat(0), 0);
    EXPECT_EQ(Seat(1), 1);
    EXPECT_EQ(Seat(2), 2);
    EXPECT_EQ(Seat(3), 3);
    EXPECT_EQ(Seat(4), -1);
    EXPECT_FALSE(Ship(1).m_autopilot);
    EXPECT_FALSE(Ship(2).m_autopilot);
    EXPECT_FALSE(Sentry().m_autopilot);

    // Each flies its own: ship 2 backward, ship 3 forward, the sentry turns right and fires.
    Axis(1, SDL_CONTROLLER_AXIS_LEFTY, 32767);
    Axis(2, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    Axis(3, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    Button(3, SDL_CONTROLLER_BUTTON_A, true);
    Axis(4, SDL_CONTROLLER_AXIS_LEFTY, -32768);  // waiting: nothing
    EXPECT_TRUE(Held('S'));
    EXPECT_TRUE(Held(VK_NUMPAD8));
    EXPECT_TRUE(Held('K'));
    EXPECT_TRUE(Held('L'));
    EXPECT_FALSE(Held(VK_UP));
    Poll();
    EXPECT_DOUBLE_EQ(Ship(0).m_velocity.m_x, 0.0);
    EXPECT_DOUBLE_EQ(Ship(1).m_velocity.m_x, -arenatest::kThrustStep);
    EXPECT_DOUBLE_EQ(Ship(2).m_velocity.m_x, arenatest::kThrustStep);
    EXPECT_NEAR(Sentry().m_heading.Angle(), 100.0, 1e-6);  // from 90, facing down
    EXPECT_EQ(Sentry().FindFreeBullet(), 1);

    // The sentry's controller leaves: its autopilot comes back, and the fifth controller
    // takes the sentry, holding what it pushes (the sentry has no forward).
    Unplug(3);
    EXPECT_FALSE(Held('K'));
    EXPECT_FALSE(Held('L'));
    EXPECT_EQ(Seat(3), 3);  // the fifth, now at place 3 of the list
    EXPECT_FALSE(Sentry().m_autopilot);
    Axis(3, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    EXPECT_TRUE(Held('J'));
}

TEST_F(SdlControllers, LosingTheFocusReleasesAndIgnoresInput)
{
    const int pad = Plug();
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    Button(pad, SDL_CONTROLLER_BUTTON_A, true);
    ASSERT_TRUE(Held(VK_UP));
    NativeGameFocus(false);
    EXPECT_FALSE(Held(VK_UP));
    EXPECT_FALSE(Held(VK_RETURN));
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    Button(pad, SDL_CONTROLLER_BUTTON_A, false);
    Button(pad, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_FALSE(Held(VK_RIGHT));
    EXPECT_FALSE(Held(VK_RETURN));
    Poll();
    EXPECT_DOUBLE_EQ(Ship(0).m_velocity.m_x, 0.0);
    NativeGameFocus(true);
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -30000);
    EXPECT_TRUE(Held(VK_UP));
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
    int stick = Attach(kPlain, SDL_JOYSTICK_TYPE_UNKNOWN, 2, 8);
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
    stick = Attach(kPlain, SDL_JOYSTICK_TYPE_UNKNOWN, 2, 8);
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
