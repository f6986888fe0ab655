// Broken and hostile files: every reader must end, stay inside its buffers
// (the sanitizers watch) and give no title rather than a wrong one of garbage.
#include <gtest/gtest.h>

#include "tag_samples.h"
#include "test_support.h"

namespace zav2 {
namespace {

using namespace build;
using namespace std::string_literals;

TEST(HostileInput, SamplesAreReadWholeAndEveryTruncationEnds) {
    for (const TagSample& sample : tagSamples()) {
        SCOPED_TRACE(sample.name);
        ReplayGainTags gain;
        EXPECT_EQ(test::titleOf(sample.reader, sample.bytes), sample.title);
        EXPECT_EQ(test::titleOf(sample.reader, sample.bytes, &gain), sample.title);
        EXPECT_EQ(gain, sample.gain);
        for (size_t length = 0; length < sample.bytes.size(); ++length) {
            MemoryFile file(sample.bytes.substr(0, length));
            // Walking on for the gain fields never changes the title.
            EXPECT_EQ(sample.reader(file, &gain), sample.reader(file, nullptr));
            const LyricsAndPicture found = readLyricsAndPicture(file);
            if (found.picture)
                (void)readPictureBytes(file, *found.picture);
        }
    }
}

TEST(HostileInput, ZeroSizesDoNotLoop) {
    // Many zero-sized structures in a row end because each is stepped over.
    EXPECT_EQ(test::titleOf(readMp4Title, ftyp("M4A ") + be32(8) + "free" + be32(0) + "moov"),
              ZT(""));
    Bytes flac = "fLaC"s;
    for (int i = 0; i < 1000; ++i)
        flac += flacBlock(1, "");
    EXPECT_EQ(test::titleOf(readFlacTitle, flac), ZT(""));
    Bytes ogg;
    for (int i = 0; i < 2000; ++i)
        ogg += oggPage(5, static_cast<uint32_t>(i), 0x02, {}, "");
    EXPECT_EQ(test::titleOf(readOggTitle, ogg), ZT(""));
    EXPECT_EQ(test::titleOf(readId3Title, id3Tag(3, Bytes(4, 'T') + be32(0) + be16(0) +
                                                        Bytes(4, 'T') + be32(0xFFFFFFFF))),
              ZT(""));
}

}  // namespace
}  // namespace zav2
