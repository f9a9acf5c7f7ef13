// The verifier's digests: FIPS 180-4's own examples, and input handed over
// in pieces that cross the 64-byte blocks and the padding's edge.
#include "util/Sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Sha256, GivesTheStandardDigests) {
    EXPECT_EQ(Util::Sha256Hex(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Util::Sha256Hex("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Util::Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Util::Sha256Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmn"
                              "hijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(Util::Sha256Hex(std::string(1'000'000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
    std::string all;
    for (int i = 0; i < 200; ++i) {
        all += static_cast<char>(i * 37);
    }
    // Lengths about the edges: 55 bytes still hold the length, 56 do not.
    for (const std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 200u}) {
        const std::string data = all.substr(0, length);
        for (std::size_t cut = 0; cut <= length; cut += 7) {
            Util::Sha256 pieces;
            pieces.Add(data.substr(0, cut));
            pieces.Add(data.substr(cut));
            EXPECT_EQ(pieces.HexDigest(), Util::Sha256Hex(data)) << length << " cut at " << cut;
        }
    }
    EXPECT_NE(Util::Sha256Hex(all.substr(0, 55)), Util::Sha256Hex(all.substr(0, 56)));
}

} // namespace
