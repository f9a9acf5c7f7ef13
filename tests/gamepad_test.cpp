// Controllers reach the game as the keys the keyboard would give, and the
// keyboard and a controller holding the same key don't release each other.
#include "display/Display.h"
#include "display/KeyMap.h"
#include "display/PadMap.h"
#include "display/Run.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

namespace {

using namespace Display;
using Pad::KeyChange;
using Changes = std::vector<KeyChange>;

constexpr SDL_JoystickID kPad = 0, kOther = 3;

// What the window's thread does with a keyboard key, as the host does it.
Changes Keyboard(Keys::HeldKeys& held, SDL_Keycode sym, bool down) {
    const auto code = Keys::MapKey(sym, KMOD_NONE, down);
    if (!code) {
        return {};
    }
    if (down) {
        held.Press(*code);
        return {{*code, true}};
    }
    return held.Lift(*code) ? Changes{{*code, false}} : Changes{};
}

TEST(Gamepad, ButtonsAreTheKeysOfTheGame) {
    const std::pair<SDL_GameControllerButton, int> rows[] = {
        {SDL_CONTROLLER_BUTTON_A, 0x20},
        {SDL_CONTROLLER_BUTTON_B, 0x10},
        {SDL_CONTROLLER_BUTTON_X, 0x11},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x11},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x11},
        {SDL_CONTROLLER_BUTTON_START, 0x13},
        {SDL_CONTROLLER_BUTTON_BACK, 0x1B},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x25},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x26},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x27},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x28},
    };
    for (const auto& [button, code] : rows) {
        EXPECT_EQ(Pad::ButtonKey(button), std::optional<std::uint8_t>(code)) << button;
    }
    EXPECT_FALSE(Pad::ButtonKey(SDL_CONTROLLER_BUTTON_Y));
    EXPECT_FALSE(Pad::ButtonKey(SDL_CONTROLLER_BUTTON_GUIDE));
}

TEST(Gamepad, TheStickHasADeadZoneAndHoldsOneArrowPerAxis) {
    Keys::HeldKeys held;
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_LEFTX, 7000), Changes{});
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_LEFTX, -20000), (Changes{{0x25, true}}));
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_LEFTX, -32768), Changes{});
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_LEFTY, 30000), (Changes{{0x28, true}}));
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_LEFTX, 32767),
              (Changes{{0x25, false}, {0x27, true}})); // flicked across: left up, right down
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_LEFTX, -100), (Changes{{0x27, false}}));
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_LEFTY, -9000),
              (Changes{{0x28, false}, {0x26, true}}));
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_RIGHTX, 32767), Changes{});
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767), Changes{});
}

TEST(Gamepad, AKeyGoesUpOnlyWhenNothingHoldsItAnyMore) {
    Keys::HeldKeys held;
    // Space from the keyboard and from A.
    EXPECT_EQ(Keyboard(held, SDLK_SPACE, true), (Changes{{0x20, true}}));
    EXPECT_EQ(Pad::Button(held, kPad, SDL_CONTROLLER_BUTTON_A, true), (Changes{{0x20, true}}));
    EXPECT_EQ(Keyboard(held, SDLK_SPACE, false), Changes{});
    EXPECT_EQ(Pad::Button(held, kPad, SDL_CONTROLLER_BUTTON_A, false), (Changes{{0x20, false}}));
    // Left from the d-pad, the stick and a second controller.
    EXPECT_EQ(Pad::Button(held, kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true),
              (Changes{{0x25, true}}));
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_LEFTX, -30000), (Changes{{0x25, true}}));
    EXPECT_EQ(Pad::Axis(held, kOther, SDL_CONTROLLER_AXIS_LEFTX, -30000), (Changes{{0x25, true}}));
    EXPECT_EQ(Pad::Button(held, kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false), Changes{});
    EXPECT_EQ(Pad::Axis(held, kPad, SDL_CONTROLLER_AXIS_LEFTX, 0), Changes{});
    // Unplugging the second lets go of what only it held; the first's shield stays.
    EXPECT_EQ(Pad::Button(held, kPad, SDL_CONTROLLER_BUTTON_X, true), (Changes{{0x11, true}}));
    EXPECT_EQ(Pad::Button(held, kOther, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true),
              (Changes{{0x11, true}}));
    EXPECT_EQ(Pad::Removed(held, kOther), (Changes{{0x25, false}}));
    EXPECT_EQ(held.ReleaseAll(), (std::vector<std::uint8_t>{0x11}));
}

TEST(Gamepad, TheGameSeesTheSameKeysFromEitherSource) {
    // The same moves played once from the keyboard and once from a controller
    // leave the game's key table and key queue alike.
    auto play = [](const Changes& changes) {
        TestWorld::Fresh();
        for (const auto& c : changes) {
            Run::Apply(
                {0, c.down ? Run::InputEvent::KeyDown : Run::InputEvent::KeyUp, c.code, 0, 0, {}});
        }
        std::vector<bool> down;
        for (std::uint32_t k = 0; k < 256; ++k) {
            down.push_back(KeyDown(k));
        }
        std::vector<std::uint32_t> queued;
        while (KeyQueued()) {
            queued.push_back(TakeKey());
        }
        Run::Reset();
        return std::make_pair(down, queued);
    };
    Keys::HeldKeys keys, pad;
    Changes fromKeys, fromPad;
    auto add = [](Changes& to, const Changes& more) {
        to.insert(to.end(), more.begin(), more.end());
    };
    add(fromKeys, Keyboard(keys, SDLK_RIGHT, true));
    add(fromKeys, Keyboard(keys, SDLK_SPACE, true));
    add(fromKeys, Keyboard(keys, SDLK_LSHIFT, true));
    add(fromKeys, Keyboard(keys, SDLK_LSHIFT, false));
    add(fromKeys, Keyboard(keys, SDLK_PAUSE, true));
    add(fromPad, Pad::Axis(pad, kPad, SDL_CONTROLLER_AXIS_LEFTX, 25000));
    add(fromPad, Pad::Button(pad, kPad, SDL_CONTROLLER_BUTTON_A, true));
    add(fromPad, Pad::Button(pad, kPad, SDL_CONTROLLER_BUTTON_B, true));
    add(fromPad, Pad::Button(pad, kPad, SDL_CONTROLLER_BUTTON_B, false));
    add(fromPad, Pad::Button(pad, kPad, SDL_CONTROLLER_BUTTON_START, true));
    EXPECT_EQ(fromKeys, fromPad);
    const auto [down, queued] = play(fromPad);
    EXPECT_EQ(play(fromKeys), play(fromPad));
    EXPECT_TRUE(down[0x27] && down[0x20] && down[0x13] && !down[0x10]);
    EXPECT_EQ(queued, (std::vector<std::uint32_t>{0x27, 0x20, 0x10, 0x13}));
}

} // namespace
