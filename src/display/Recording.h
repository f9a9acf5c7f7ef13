// The recording of a run: every input event the game sees, as script lines.
#pragma once

#include "display/Run.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace Display::Run {

class Recording {
  public:
    // False with the reason when `file` can't be written (OutFile::OpenStream).
    // A `kept` recording is the replay the game keeps on its own: its
    // failures are said but never fail the run.
    bool Open(const std::string& file, std::string& why, bool kept = false);
    // Appends the event, handed to the system at once, so a crash or a kill
    // loses nothing the game saw: a write costs microseconds, a tick
    // milliseconds. False, said on stderr, when it could not be written (a
    // kept one says so and is true); nothing more is written then.
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
    bool kept_ = false;
    std::uintmax_t whole_ = 0; // bytes of whole events on file
};

} // namespace Display::Run
