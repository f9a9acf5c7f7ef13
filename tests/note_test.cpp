#include "display/Note.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using Display::Note;

TEST(NoteTest, ShowsForItsTimeThenGoesAndANewNoteStartsAgain) {
    Note note;
    EXPECT_EQ(note.Text(0), "");
    EXPECT_FALSE(note.Left(0));

    note.Show("SOUND OFF", 1000);
    EXPECT_EQ(note.Text(1000), "SOUND OFF");
    EXPECT_EQ(note.Left(1000), Note::kShownMs);
    EXPECT_EQ(note.Text(1000 + Note::kShownMs - 1), "SOUND OFF");
    EXPECT_EQ(note.Left(1000 + Note::kShownMs - 1), 1u);
    EXPECT_EQ(note.Text(1000 + Note::kShownMs), "");
    EXPECT_FALSE(note.Left(1000 + Note::kShownMs));

    // M pressed again before the first note went: the new word, a full time.
    note.Show("SOUND OFF", 5000);
    note.Show("SOUND ON", 6500);
    EXPECT_EQ(note.Text(7000 + 1000), "SOUND ON");
    EXPECT_EQ(note.Left(6500), Note::kShownMs);
    EXPECT_EQ(note.Text(6500 + Note::kShownMs), "");
}

std::string Slurp(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A real window with a sound device: M shows its note on the window, while
// the frame a shot writes stays the game's own. Needs Xvfb.
TEST(NoteTest, AShotAfterMutingEqualsOneWithout) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no Xvfb";
    }
    std::filesystem::create_directories("note_test_dir");
    {
        std::ofstream("note_test_dir/m.txt") << "400 key down 77\n420 key up 77\n"
                                                "700 shot m.bmp\n800 close\n";
        std::ofstream("note_test_dir/n.txt") << "700 shot n.bmp\n800 close\n";
    }
    // Xvfb picks a free display and names it, so parallel runs never meet.
    const std::string run =
        "cd note_test_dir && ln -sfn ../Media Media && "
        "(Xvfb -displayfd 3 -screen 0 1100x800x24 3>x.num >/dev/null 2>&1 & echo $! > x.pid) && "
        "for i in $(seq 50); do test -s x.num && break; sleep 0.1; done && "
        "export DISPLAY=:$(cat x.num) SDL_AUDIODRIVER=dummy && "
        "timeout -s KILL 30 ../morvek --script m.txt >/dev/null 2>m.err; a=$?; "
        "timeout -s KILL 30 ../morvek --script n.txt >/dev/null 2>&1; b=$?; "
        "kill $(cat x.pid); test $a = 0 && test $b = 0";
    ASSERT_EQ(std::system(run.c_str()), 0);
    const std::string muted = Slurp("note_test_dir/m.bmp"), plain = Slurp("note_test_dir/n.bmp");
    ASSERT_FALSE(plain.empty());
    // Without a sound device there is no note, and nothing tested here.
    EXPECT_EQ(Slurp("note_test_dir/m.err").find("no sound"), std::string::npos);
    EXPECT_TRUE(muted == plain);
    std::filesystem::remove_all("note_test_dir");
}

} // namespace
