#include <gtest/gtest.h>

#include "tag_builders.h"
#include "tags/byte_order.h"
#include "test_support.h"

namespace zav2 {
namespace {

using namespace build;
using namespace std::string_literals;
using test::titleOf;

String id3Title(const Bytes& bytes) {
    return titleOf(readId3Title, bytes);
}

Bytes tagWithTitle(int version, const Bytes& content, const Bytes& before = "") {
    return id3Tag(version, before + id3Frame(version, version == 2 ? "TT2" : "TIT2", content)) +
           Bytes(400, '\x55');
}

TEST(Id3Title, EncodingsOfTheTitleFrame) {
    // UTF-16 with a big-endian mark.
    EXPECT_EQ(id3Title(tagWithTitle(3, id3Text(1, kBomBe + utf16be(u"日本語") + kNul2))),
              ZT("日本語"));
    // Encoding 0 is the ANSI code page (Shift_JIS), cut at its NUL.
    EXPECT_EQ(id3Title(tagWithTitle(3, id3Text(0, "\x93\xFA\x96\x7B\x8C\xEA\0junk"s))),
              ZT("日本語"));
    EXPECT_EQ(id3Title(tagWithTitle(4, id3Text(3, "ab\xC3(cd"))), ZT("ab\xFFFD(cd"));
    // UTF-16BE exists in version 2.4 only.
    EXPECT_EQ(id3Title(tagWithTitle(4, id3Text(2, utf16be(u"Song")))), ZT("Song"));
    EXPECT_EQ(id3Title(tagWithTitle(3, id3Text(2, utf16be(u"Song")))), ZT(""));
    EXPECT_EQ(id3Title(tagWithTitle(3, id3Text(7, "Song"))), ZT(""));
    // v2.4 multi-value text: the first value.
    EXPECT_EQ(id3Title(tagWithTitle(4, id3Text(3, Bytes("One\0Two", 7)))), ZT("One"));
}

TEST(Id3Title, FrameLayoutsByVersion) {
    // A frame over 127 bytes: version 2.4 sizes are syncsafe.
    EXPECT_EQ(id3Title(tagWithTitle(4, id3Text(0, "Four"), id3Frame(4, "TPE1", Bytes(200, 'a')))),
              ZT("Four"));
    // A four-letter ID in a version 2.2 tag is not its title frame.
    EXPECT_EQ(id3Title(id3Tag(2, id3Frame(3, "TIT2", id3Text(0, "x")))), ZT(""));
    // IDs compare without case.
    EXPECT_EQ(id3Title(id3Tag(3, id3Frame(3, "tit2", id3Text(0, "lower")))), ZT("lower"));
}

TEST(Id3Title, UnsynchronisedVersion24TagsSizeFramesAsStored) {
    // Unlike version 2.3, frames are sized as stored: nothing is skipped
    // beyond them.
    const Bytes artist4 = unsynchronise(id3Text(1, kBomLe + utf16le(u"A") + kNul2));
    const Bytes title4 = unsynchronise(id3Text(1, kBomLe + utf16le(u"ｱｲ！") + kNul2));
    EXPECT_EQ(id3Title(id3Tag(4, id3Frame(4, "TPE1", artist4) + id3Frame(4, "TIT2", title4), 0x80)),
              ZT("ｱｲ！"));
}

TEST(Id3Title, WhatEndsTheWalk) {
    // Padding before the title frame: no title.
    EXPECT_EQ(id3Title(id3Tag(3, Bytes(20, '\0') + id3Frame(3, "TIT2", id3Text(0, "late")))),
              ZT(""));
    // A title frame claiming more than the tag holds is cut at the tag's end.
    const Bytes claimed = id3Frame(3, "TIT2", id3Text(0, "cut"), 0, 5000);
    EXPECT_EQ(id3Title(id3Tag(3, claimed) + "AUDIO"), ZT("cut"));
    // A frame header that does not fit in the tag is not read.
    EXPECT_EQ(id3Title(id3Tag(3, id3Frame(3, "TIT2", id3Text(0, "x")), 0, 9)), ZT(""));
    // Compressed and encrypted frames cannot be shown.
    EXPECT_EQ(id3Title(id3Tag(3, id3Frame(3, "TIT2", id3Text(0, "zzzz"), 0x0080))), ZT(""));
}

TEST(Id3Title, Version1OnlyWithoutVersion2) {
    const Bytes audio(2000, '\x33');
    EXPECT_EQ(id3Title(audio + id3v1("tag title with spaces    ")),
              ZT("tag title with spaces    "));
    EXPECT_EQ(id3Title(audio + id3v1(Bytes(30, ' '))), ZT(""));
    EXPECT_EQ(id3Title(audio + "tag" + id3v1("lower").substr(3)), ZT("lower"));
    EXPECT_EQ(id3Title(audio + id3v1("\x93\xFA\x96\x7B")), ZT("日本"));
    // An ID3v2 tag without a title hides the ID3v1 tag.
    EXPECT_EQ(id3Title(id3Tag(3, id3Frame(3, "TPE1", id3Text(0, "A"))) + audio + id3v1("Old")),
              ZT(""));
    EXPECT_EQ(id3Title(id3v1("Short file").substr(0, 100)), ZT(""));
}

}  // namespace
}  // namespace zav2
