// libFuzzer entry point; see FuzzTargets.h.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzTargets::SettingsFile(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
