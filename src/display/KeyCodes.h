// The codes the game hears for its keys. Every host turns its own keys into
// these, and scripts and recordings hold them, so they never change.
#pragma once

#include <cstdint>

namespace Display::KeyCode {

constexpr std::uint8_t kBackspace = 0x08;
constexpr std::uint8_t kReturn = 0x0D; // keypad Enter arrives as the same code
constexpr std::uint8_t kShift = 0x10;
constexpr std::uint8_t kCtrl = 0x11;
constexpr std::uint8_t kPause = 0x13;
constexpr std::uint8_t kEscape = 0x1B;
constexpr std::uint8_t kSpace = 0x20;
constexpr std::uint8_t kLeft = 0x25;
constexpr std::uint8_t kUp = 0x26;
constexpr std::uint8_t kRight = 0x27;
constexpr std::uint8_t kDown = 0x28;
constexpr std::uint8_t kM = 'M';
constexpr std::uint8_t kP = 'P';
constexpr std::uint8_t kKeypad0 = 0x60;
constexpr std::uint8_t kKeypad1 = 0x61;
constexpr std::uint8_t kKeypad2 = 0x62;
constexpr std::uint8_t kKeypad3 = 0x63;
constexpr std::uint8_t kF1 = 0x70;

} // namespace Display::KeyCode
