#include "display/Recording.h"

#include "platform/OutFile.h"
#include "util/Quote.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace Display::Run {

bool Recording::Open(const std::string& file, std::string& why, bool kept) {
    file_.reset(OutFile::OpenStream(file, why));
    name_ = file;
    kept_ = kept;
    whole_ = 0;
    return file_ != nullptr;
}

void Recording::Failed(int error) {
    if (kept_) {
        std::cerr << "morvek: the replay " << Text::Quote(name_, Text::kPathShown)
                  << " could not be written (" << std::strerror(error)
                  << "); the game goes on without it\n";
        return;
    }
    std::cerr << "morvek: cannot write the recording " << Text::Quote(name_, Text::kPathShown)
              << ": " << std::strerror(error) << '\n';
}

bool Recording::Write(const InputEvent& event) {
    if (!file_) {
        return true;
    }
    const int written = std::fprintf(file_.get(), "%s\n", FormatEvent(event).c_str());
    if (written < 0 || std::fflush(file_.get()) != 0) {
        const int error = errno;
        file_.reset(); // closing would only fail again
        // A full disk can take half a line, and a script with half a line
        // is refused whole: cut back to the last whole event, so the file
        // still replays up to there. A device has no size, and keeps it.
        std::error_code ignored;
        if (std::filesystem::is_regular_file(name_, ignored)) {
            std::filesystem::resize_file(name_, whole_, ignored);
        }
        Failed(error);
        return kept_;
    }
    whole_ += static_cast<std::uintmax_t>(written);
    return true;
}

bool Recording::Close() {
    if (std::FILE* file = file_.release(); file != nullptr && std::fclose(file) != 0) {
        Failed(errno);
        return kept_;
    }
    return true;
}

} // namespace Display::Run
