// The menu buttons, the screen buttons in their lit and unlit states, and
// the option headings.
#include "Label.h"
#include "Media.h"
#include "Palette.h"
#include "Shade.h"

#include <array>
#include <string_view>

namespace Art {

namespace {

const LabelStyle kLit{hex(0xFFF4C0), hex(0xF0A020), hex(0x2A1008), hex(0x0A0408)};
const LabelStyle kUnlit{hex(0xA8A4AC), hex(0x7C7880), hex(0x2A282E), hex(0x2A282E), 2, 3, 0};

// A bevelled panel: shaded by the common light, trimmed in gold when lit.
Canvas panel(std::string_view file, bool lit) {
    Canvas c = Media::blank(file);
    const int w = c.width(), h = c.height();
    c.fill(lit ? hex(0x6A4A14) : hex(0x3C3A40));
    Region face(w, h);
    face.polygon({{3, 1},
                  {float(w) - 3, 1},
                  {float(w) - 1, 3},
                  {float(w) - 1, float(h) - 3},
                  {float(w) - 3, float(h) - 1},
                  {3, float(h) - 1},
                  {1, float(h) - 3},
                  {1, 3}});
    Shading s;
    s.depth = 5;
    s.tones = 0;
    s.outline = false;
    paint(c, face.eroded(1),
          lit ? ramp(hex(0x2A0E2E), hex(0x6A2870), hex(0xC07AC0), hex(0x140818))
              : ramp(hex(0x38363C), hex(0x58565C), hex(0x6A686E), hex(0x202024)),
          s);
    if (lit) {
        Region trim = face.eroded(2);
        trim -= face.eroded(3);
        c.fill(trim, hex(0xD8A040));
    }
    return c;
}

Canvas button(std::string_view file, std::string_view text, bool lit) {
    Canvas c = panel(file, lit);
    label(c, text, c.width() / 2, c.height() / 2, lit ? kLit : kUnlit);
    return c;
}

// A heading shows only its letters over the menu picture.
Canvas heading(std::string_view file, std::string_view text) {
    Canvas c = Media::blank(file);
    label(c, text, c.width() / 2, c.height() / 2, kLit);
    return c;
}

struct Button {
    std::string_view file, text;
    bool lit;
};

constexpr std::array<Button, 18> kButtons{{
    {"Media/Story.bmp", "STORY", true},
    {"Media/NewGame.bmp", "NEW GAME", true},
    {"Media/Options.bmp", "OPTIONS", true},
    {"Media/Highscore.bmp", "HIGHSCORE", true},
    {"Media/Credits.bmp", "CREDITS", true},
    {"Media/End.bmp", "END", true},
    {"Media/Return.bmp", "RETURN", true},
    {"Media/Save.bmp", "SAVE", true},
    {"Media/Easy.bmp", "EASY", true},
    {"Media/Normal.bmp", "NORMAL", true},
    {"Media/Hard.bmp", "HARD", true},
    {"Media/Slow.bmp", "SLOW", true},
    {"Media/Fast.bmp", "FAST", true},
    {"Media/EasyNot.bmp", "EASY", false},
    {"Media/NormalNot.bmp", "NORMAL", false},
    {"Media/HardNot.bmp", "HARD", false},
    {"Media/SlowNot.bmp", "SLOW", false},
    {"Media/FastNot.bmp", "FAST", false},
}};

} // namespace

void drawButtons(Media& m) {
    for (const Button& b : kButtons)
        m.put(b.file, button(b.file, b.text, b.lit));
    m.sprite("Media/Difficulty.bmp", "Media/DifficultyMask.bmp",
             heading("Media/Difficulty.bmp", "DIFFICULTY"));
    m.sprite("Media/Speed.bmp", "Media/SpeedMask.bmp", heading("Media/Speed.bmp", "SPEED"));
}

} // namespace Art
