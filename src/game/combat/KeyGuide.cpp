#include "game/combat/KeyGuide.h"

#include "display/Bindings.h"
#include "display/Display.h"
#include "game/core/Colours.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace Morvek {

namespace {

namespace B = Display::Bindings;

constexpr std::uint32_t kShownMs = 7000;
constexpr std::uint32_t kFadeMs = 1000;
constexpr std::uint32_t kUsualTickMs = 30; // for a world that has no speed set

constexpr std::uint32_t kStyle = 5; // the display's
constexpr std::int32_t kScale = 2;
constexpr std::int32_t kTextHeight = 12 * kScale; // the font's cell
constexpr std::int32_t kLine = 30;                // pixels from one line to the next
constexpr std::int32_t kPad = 16;
constexpr std::int32_t kGap = 40; // between the two columns of keys
// Low on the left: clear of the dragon's start, the display at the top and
// a boss's bar at the bottom right.
constexpr std::int32_t kLeft = 40;
constexpr std::int32_t kBottom = 752;

constexpr std::uint32_t kPanel = Colours::kBlack;
constexpr std::uint32_t kPanelShade = 175;
constexpr std::uint32_t kLabelColour = Colours::kGold;
constexpr std::uint32_t kKeyColour = Colours::kWhite;
constexpr std::uint32_t kAdviceColour = Colours::kPaleYellow;

constexpr std::array<std::string_view, 2> kAdvice = {
    "Touching an enemy costs your whole health bar.",
    "Firing spends Magic; it refills when you stop.",
};

// Sound is M in play always; it can't be bound.
constexpr std::string_view kSoundKey = "M";

std::size_t ActionIndex(std::string_view name) {
    const auto at = std::find_if(B::kActions.begin(), B::kActions.end(),
                                 [name](const B::Action& a) { return a.name == name; });
    return static_cast<std::size_t>(at - B::kActions.begin());
}

std::string KeyOf(const B::Table& keys, std::string_view action) {
    const std::string name = B::KeyName(keys[ActionIndex(action)]);
    return name.empty() ? "?" : name;
}

std::int32_t Width(std::string_view text) {
    std::uint32_t w = 0, h = 0;
    Display::GetTextSize(text, kStyle, w, h);
    return static_cast<std::int32_t>(w) * kScale;
}

void Write(std::string_view text, std::int32_t x, std::int32_t y, std::uint32_t colour) {
    Display::SetFont(kStyle, colour);
    Display::Text(text, x, y, kScale);
}

} // namespace

std::array<KeyGuideRow, 6> KeyGuideRows() {
    const B::Table keys = B::InUse();
    return {{
        {"MOVE", KeyOf(keys, "up") + " " + KeyOf(keys, "down") + " " + KeyOf(keys, "left") + " " +
                     KeyOf(keys, "right")},
        {"BARRIER", KeyOf(keys, "barrier")},
        {"FIRE", KeyOf(keys, "fire")},
        {"PAUSE", KeyOf(keys, "pause")},
        {"BEAM", KeyOf(keys, "beam")},
        {"SOUND", std::string(kSoundKey)},
    }};
}

std::uint32_t KeyGuideAlpha(const World& w) {
    if (w.looks.game == 0 || w.counter < w.looks.guideFrom) {
        return 0;
    }
    const std::uint32_t tickMs = w.tickMs != 0 ? w.tickMs : kUsualTickMs;
    const std::uint32_t shown = kShownMs / tickMs, fade = std::max(kFadeMs / tickMs, 1u);
    const std::uint32_t ticks = w.counter - w.looks.guideFrom;
    if (ticks < shown) {
        return 255;
    }
    return ticks < shown + fade ? 255 * (shown + fade - ticks) / fade : 0;
}

void DrawKeyGuide(const World& w) {
    const std::uint32_t alpha = KeyGuideAlpha(w);
    if (alpha == 0) {
        return;
    }
    const std::array<KeyGuideRow, 6> rows = KeyGuideRows();
    // Two columns, a label and its keys in each; as wide as the longest.
    std::int32_t labelWidth = 0;
    std::array<std::int32_t, 2> columnWidth{};
    for (const KeyGuideRow& r : rows) {
        labelWidth = std::max(labelWidth, Width(r.label));
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        columnWidth[i % 2] = std::max(columnWidth[i % 2], Width(rows[i].keys));
    }
    const std::int32_t keyOffset = labelWidth + Width(" ");
    std::int32_t width = 2 * keyOffset + columnWidth[0] + kGap + columnWidth[1];
    for (const std::string_view a : kAdvice) {
        width = std::max(width, Width(a));
    }
    const auto lines = static_cast<std::int32_t>(rows.size() / 2 + kAdvice.size());
    const std::int32_t top = kBottom - 2 * kPad - (lines - 1) * kLine - kTextHeight;
    const std::int32_t right = kLeft + 2 * kPad + width;
    Display::DrawFaded(kLeft, top, right, kBottom, alpha, [&] {
        Display::Tint(kLeft, top, right, kBottom, kPanel, kPanelShade);
        std::int32_t y = top + kPad;
        for (std::size_t i = 0; i < rows.size(); i += 2) {
            std::int32_t x = kLeft + kPad;
            for (std::size_t c = 0; c < 2; ++c) {
                Write(rows[i + c].label, x, y, kLabelColour);
                Write(rows[i + c].keys, x + keyOffset, y, kKeyColour);
                x += keyOffset + columnWidth[0] + kGap;
            }
            y += kLine;
        }
        for (const std::string_view a : kAdvice) {
            Write(a, kLeft + kPad, y, kAdviceColour);
            y += kLine;
        }
    });
}

} // namespace Morvek
