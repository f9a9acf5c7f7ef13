#include "Label.h"

#include "Font.h"

namespace Art {

void label(Canvas& c, std::string_view s, int cx, int cy, const LabelStyle& st) {
    Region letters(c.width(), c.height());
    textCentred(letters, s, cx, cy, st.sx, st.sy);
    Region shadow(c.width(), c.height());
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (letters.at(x - st.shadowOffset, y - st.shadowOffset))
                shadow.set(x, y);
    if (st.shadowOffset > 0)
        c.fill(shadow.dilated(1), st.shadow);
    c.fill(letters.dilated(1), st.outline);
    const int top = cy - 7 * st.sy / 2, bottom = top + 7 * st.sy;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (letters.at(x, y))
                c.set(x, y, mix(st.top, st.bottom, float(y - top) / float(bottom - top)));
}

} // namespace Art
