// The recording of a run: every input event the game sees, as script lines.
#pragma once

#include "display/Run.h"

#include <cstdio>
#include <memory>
#include <string>

namespace Display::Run {

class Recording {
  public:
    // False with the reason when `file` can't be written (OutFile::OpenStream).
    bool Open(const std::string& file, std::string& why);
    // Appends the event, flushed at once: a crash must not lose the log that
    // reproduces it. False, said on stderr, when it could not be written;
    // nothing more is written then.
    bool Write(const InputEvent& event);
    // False, said on stderr, when closing showed a failure (some file systems
    // show one only then).
    bool Close();

  private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    void Failed(int error);

    std::unique_ptr<std::FILE, Closer> file_;
    std::string name_;
};

} // namespace Display::Run
