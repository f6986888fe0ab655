#include <gtest/gtest.h>

#include "tag_builders.h"
#include "test_support.h"

namespace zav2 {
namespace {

using namespace build;
using namespace std::string_literals;
using test::titleOf;

Bytes tagWithTitle(int version, const Bytes& content, const Bytes& before = "") {
    return id3Tag(version, before + id3Frame(version, version == 2 ? "TT2" : "TIT2", content)) +
           Bytes(400, '\x55');
}

TEST(Id3Title, LayoutsEncodingsAndWhatEndsTheWalk) {
    const Bytes audio(2000, '\x33');
    // Version 2.4 tag unsynchronised as a whole: unlike 2.3, frames are sized
    // as stored, so nothing is skipped beyond them.
    const Bytes artist4 = unsynchronise(id3Text(1, kBomLe + utf16le(u"A") + kNul2));
    const Bytes title4 = unsynchronise(id3Text(1, kBomLe + utf16le(u"ｱｲ！") + kNul2));
    const struct {
        Bytes bytes;
        String title;
    } cases[] = {
        // Encodings: UTF-16 with a big-endian mark; the ANSI code page
        // (Shift_JIS) cut at its NUL; bad UTF-8; UTF-16BE in version 2.4 only;
        // an unknown encoding; the first value of 2.4 multi-value text.
        {tagWithTitle(3, id3Text(1, kBomBe + utf16be(u"日本語") + kNul2)), ZT("日本語")},
        {tagWithTitle(3, id3Text(0, "\x93\xFA\x96\x7B\x8C\xEA\0junk"s)), ZT("日本語")},
        {tagWithTitle(4, id3Text(3, "ab\xC3(cd")), ZT("ab\xFFFD(cd")},
        {tagWithTitle(4, id3Text(2, utf16be(u"Song"))), ZT("Song")},
        {tagWithTitle(3, id3Text(2, utf16be(u"Song"))), ZT("")},
        {tagWithTitle(4, id3Text(3, Bytes("One\0Two", 7))), ZT("One")},
        // A frame over 127 bytes: version 2.4 sizes are syncsafe.
        {tagWithTitle(4, id3Text(0, "Four"), id3Frame(4, "TPE1", Bytes(200, 'a'))), ZT("Four")},
        // A four-letter ID in a version 2.2 tag is not its title frame; IDs
        // compare without case.
        {id3Tag(2, id3Frame(3, "TIT2", id3Text(0, "x"))), ZT("")},
        {id3Tag(3, id3Frame(3, "tit2", id3Text(0, "lower"))), ZT("lower")},
        {id3Tag(4, id3Frame(4, "TPE1", artist4) + id3Frame(4, "TIT2", title4), 0x80), ZT("ｱｲ！")},
        // Padding before the title frame: no title. A title frame claiming
        // more than the tag holds is cut at the tag's end; a frame header that
        // does not fit in the tag is not read; compressed and encrypted frames
        // cannot be shown.
        {id3Tag(3, Bytes(20, '\0') + id3Frame(3, "TIT2", id3Text(0, "late"))), ZT("")},
        {id3Tag(3, id3Frame(3, "TIT2", id3Text(0, "cut"), 0, 5000)) + "AUDIO", ZT("cut")},
        {id3Tag(3, id3Frame(3, "TIT2", id3Text(0, "x")), 0, 9), ZT("")},
        {id3Tag(3, id3Frame(3, "TIT2", id3Text(0, "zzzz"), 0x0080)), ZT("")},
        // Version 1, only without a version 2 tag (one without a title hides it).
        {audio + id3v1("tag title with spaces    "), ZT("tag title with spaces    ")},
        {audio + "tag" + id3v1("lower").substr(3), ZT("lower")},
        {audio + id3v1("\x93\xFA\x96\x7B"), ZT("日本")},
        {id3Tag(3, id3Frame(3, "TPE1", id3Text(0, "A"))) + audio + id3v1("Old"), ZT("")},
        {id3v1("Short file").substr(0, 100), ZT("")},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(titleOf(readId3Title, cases[i].bytes), cases[i].title) << "case " << i;
}

}  // namespace
}  // namespace zav2
