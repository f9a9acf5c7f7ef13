#include "display/Context.h"

#include "display/Font.h"
#include "display/Machinery.h"

#include <utility>

namespace Display::Run {

struct Context::Parts {
    RunState run;
    InputState input;
    WindowState window;
    FrameState frame;
    PictureState pictures;
    FontStruct font;
};

Context::Context() : parts_(std::make_unique<Parts>()) {
    parts_->run.headless = true;
}

Context::~Context() = default;
Context::Context(Context&&) noexcept = default;
Context& Context::operator=(Context&&) noexcept = default;

void Context::Exchange() {
    Run::Exchange(parts_->run);
    Display::Exchange(parts_->input);
    Display::Exchange(parts_->window);
    Display::Exchange(parts_->frame);
    Display::Exchange(parts_->pictures);
    std::swap(Display::font, parts_->font);
}

} // namespace Display::Run
