// The measured loudnesses kept between runs: found only for the file as it
// was measured, bounded, and read back exactly from a file that may be
// damaged or hostile.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "playback/loudness_cache.h"
#include "scratch_folder.h"

namespace zav2::test {
namespace {

String u(const char* text) {
    return utf8ToUtf16(text);
}

TEST(LoudnessCacheTest, FoundOnlyForTheFileAsItWasMeasured) {
    LoudnessCache cache;
    const String song = u("D:\\m\\song.flac");
    ASSERT_TRUE(cache.keep(song, 1000, 5000, {-14.5, 0.98}));
    EXPECT_TRUE(cache.find(song, 1000, 5000));
    EXPECT_FALSE(cache.find(song, 1001, 5000));
    EXPECT_FALSE(cache.find(song, 1000, 5001));
    EXPECT_FALSE(cache.find(u("D:\\m\\SONG.flac"), 1000, 5000));

    // Measured again after a change: the new values, once.
    cache.keep(song, 1001, 6000, {-9.0, 1.0});
    EXPECT_EQ(cache.entries().size(), 1u);
    EXPECT_EQ(cache.find(song, 1001, 6000)->lufs, -9.0);
}

TEST(LoudnessCacheTest, KeepsTheMostRecentlyMeasured) {
    LoudnessCache cache;
    const auto path = [](size_t i) { return u(("D:\\m\\" + std::to_string(i) + ".mp3").c_str()); };
    for (size_t i = 0; i <= kKeptLoudnesses; ++i)
        cache.keep(path(i), i, 1, {-20, 0.5});
    cache.keep(path(5), 5, 1, {-20, 0.5});  // measured again: first

    ASSERT_EQ(cache.entries().size(), kKeptLoudnesses);
    EXPECT_EQ(cache.entries().front().path, path(5));
    EXPECT_FALSE(cache.find(path(0), 0, 1));  // the oldest went
    EXPECT_TRUE(cache.find(path(1), 1, 1));
}

// The paths a file can hold and its frame are checked on the places file,
// which shares them; here the numbers.
TEST(LoudnessFileTest, ReadsBackExactlyWhatWasKept) {
    const MeasuredLoudness awkward{-23.123456789012345, 0.10000000000000002};
    LoudnessCache cache;
    EXPECT_TRUE(cache.keep(u("D:\\講義\\第1回 「音声」.m4a"), 18'446'744'073'709,
                           133'000'000'000'000'000, awkward));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const MeasuredLoudness refused[] = {{nan, 0.5},  {-20, nan}, {-100.5, 0.5},
                                        {20.5, 0.5}, {-20, 0},   {-20, 64.5}};
    for (const MeasuredLoudness& r : refused)
        EXPECT_FALSE(cache.keep(u("D:\\a"), 1, 1, r)) << r.lufs << " " << r.peak;
    EXPECT_FALSE(cache.keep(u("D:\\a"), 1, -1, {-20, 0.5}));

    ASSERT_EQ(cache.entries().size(), 1u);
    EXPECT_EQ(parseLoudnessFile(formatLoudnessFile(cache)), cache);
    EXPECT_EQ(loudnessFilePath(u("D:\\Tools\\Zav2.exe")), u("D:\\Tools\\Zav2.loudness"));
}

TEST(LoudnessFileTest, AFullFileOfTheLongestLinesIsReadBack) {
    LoudnessCache cache;
    for (size_t i = 0; i < kKeptLoudnesses; ++i) {
        const std::string name = "D:\\" + std::to_string(i) + std::string(250, 'x');
        cache.keep(u(name.substr(0, 259).c_str()), 9'999'999'999'999'999'999u,
                   std::numeric_limits<int64_t>::max(),
                   {-99.123456789012345, 1.2345678901234567e-300});
    }
    const ScratchFolder folder("loudness");
    const String file = folder.write("Zav2.loudness", formatLoudnessFile(cache));
    EXPECT_EQ(readLoudnessFile(file), cache);
}

TEST(LoudnessFileTest, AnythingButAWholeFileOfOursIsDamaged) {
    const std::string good =
        utf16leFile(u"Zav2 loudness\r\n1000\t5000\t-14.5\t0.98\tD:\\a.mp3\r\n");
    ASSERT_TRUE(parseLoudnessFile(good));
    EXPECT_TRUE(parseLoudnessFile(utf16leFile(u"Zav2 loudness\r\n")));
    // The most recent line of a path wins.
    const std::optional<LoudnessCache> repeated = parseLoudnessFile(
        utf16leFile(u"Zav2 loudness\r\n1\t1\t-10\t1\tD:\\a\r\n2\t2\t-20\t1\tD:\\a\r\n"));
    ASSERT_TRUE(repeated);
    ASSERT_EQ(repeated->entries().size(), 1u);
    EXPECT_EQ(repeated->entries().front().size, 1u);

    const std::u16string badLines[] = {
        u"1000\t5000\t-14.5\tD:\\a.mp3",          // a field missing
        u"1000\t5000\t-14.5\t0.98\t",             // no path
        u"1000\t5000\t-14.5\t0.98\tD:\\a\t.mp3",  // a tab in the path
        u"1000\t-5000\t-14.5\t0.98\tD:\\a.mp3",   //
        u"10000000000000000000\t5000\t-14.5\t0.98\tD:\\a.mp3",
        u"1000\t9223372036854775808\t-14.5\t0.98\tD:\\a.mp3",  // beyond int64
        u"1000\t5000\t-1e400\t0.98\tD:\\a.mp3",                // beyond a double
        u"1000\t5000\t-14,5\t0.98\tD:\\a.mp3",
        u"1000\t5000\t-１4.5\t0.98\tD:\\a.mp3",  // a wide digit
        u"1000\t5000\t\t0.98\tD:\\a.mp3",
    };
    for (const std::u16string& line : badLines) {
        EXPECT_FALSE(parseLoudnessFile(utf16leFile(u"Zav2 loudness\r\n" + line + u"\r\n")))
            << utf16ToUtf8(String(line.begin(), line.end()));
    }
    EXPECT_FALSE(parseLoudnessFile(utf16leFile(u"Zav2 places\r\n")));  // another file of ours
}

}  // namespace
}  // namespace zav2::test
