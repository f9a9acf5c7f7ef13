#include "display/Recording.h"

#include "platform/OutFile.h"
#include "util/Quote.h"

#include <cerrno>
#include <cstring>
#include <iostream>

namespace Display::Run {

bool Recording::Open(const std::string& file, std::string& why) {
    file_.reset(OutFile::OpenStream(file, why));
    name_ = file;
    return file_ != nullptr;
}

void Recording::Failed(int error) {
    std::cerr << "morvek: cannot write the recording " << Text::Quote(name_, Text::kPathShown)
              << ": " << std::strerror(error) << '\n';
}

bool Recording::Write(const InputEvent& event) {
    if (!file_) {
        return true;
    }
    if (std::fprintf(file_.get(), "%s\n", FormatEvent(event).c_str()) < 0 ||
        std::fflush(file_.get()) != 0) {
        const int error = errno;
        file_.reset(); // closing would only fail again
        Failed(error);
        return false;
    }
    return true;
}

bool Recording::Close() {
    if (std::FILE* file = file_.release(); file != nullptr && std::fclose(file) != 0) {
        Failed(errno);
        return false;
    }
    return true;
}

} // namespace Display::Run
