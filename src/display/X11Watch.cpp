#include "display/X11Watch.h"

#if defined(__linux__)
#include <dlfcn.h>

#include <cstdio>

namespace Display::X11Watch {

namespace {

// Xlib's own header can't be included beside our namespace Display, which
// it names as a type, so its error record and handlers are written out
// here; they are part of Xlib's stable ABI.
struct XErrorEvent {
    int type;
    void* display;
    unsigned long resourceId;
    unsigned long serial;
    unsigned char errorCode;
    unsigned char requestCode;
    unsigned char minorCode;
};
using XIOErrorHandler = int (*)(void*);
using XErrorHandler = int (*)(void*, XErrorEvent*);
constexpr unsigned char kBadWindow = 3;
constexpr unsigned char kBadDrawable = 9;

void (*onLost)() = nullptr;

int ConnectionLost(void*) {
    onLost();
    return 0; // not reached: onLost never returns
}

// Our window destroyed under us shows as errors on it; any other error is
// named and passed over, as ending the whole game for it helps nobody.
int ProtocolError(void*, XErrorEvent* error) {
    if (error->errorCode == kBadWindow || error->errorCode == kBadDrawable) {
        onLost();
    }
    std::fprintf(stderr, "morvek: the display reported error %d on request %d\n", error->errorCode,
                 error->requestCode);
    return 0;
}

} // namespace

void Watch(void (*lost)()) {
    // SDL loads Xlib itself; we only look it up, never load it.
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (xlib == nullptr) {
        return;
    }
    using SetIo = XIOErrorHandler (*)(XIOErrorHandler);
    using SetError = XErrorHandler (*)(XErrorHandler);
    const auto setIo = reinterpret_cast<SetIo>(dlsym(xlib, "XSetIOErrorHandler"));
    const auto setError = reinterpret_cast<SetError>(dlsym(xlib, "XSetErrorHandler"));
    if (setIo != nullptr && setError != nullptr) {
        onLost = lost;
        setIo(ConnectionLost);
        setError(ProtocolError);
    }
    dlclose(xlib); // drops only our reference: SDL's keeps it loaded
}

} // namespace Display::X11Watch

#else

namespace Display::X11Watch {
void Watch(void (*)()) {}
} // namespace Display::X11Watch

#endif
