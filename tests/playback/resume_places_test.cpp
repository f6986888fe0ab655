// Where playback goes on from: the rules of a long file's kept place, the
// file that keeps them between runs and instances, and the place of the
// entry resumed at start-up.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "playback/resume_places.h"
#include "scratch_folder.h"

namespace zav2::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

String u(const char* text) {
    return utf8ToUtf16(text);
}

// Long files left before their last minute keep their place, and a kept
// place is used only while it still lies before it.
TEST(PlaceRulesTest, OnlyPlacesBeforeTheLastMinuteOfLongFilesCount) {
    EXPECT_EQ(placeToKeep(599.9, 660), 599u);          // in whole seconds
    EXPECT_EQ(placeToKeep(600.0, 660), std::nullopt);  // in the last minute: heard out
    EXPECT_EQ(placeToKeep(5.0, 660), 5u);
    EXPECT_EQ(placeToKeep(4.9, 660), std::nullopt);    // hardly begun
    EXPECT_EQ(placeToKeep(300, 600.0), 300u);          // ten minutes is long
    EXPECT_EQ(placeToKeep(300, 599.9), std::nullopt);  // just under is not
    // Positions and lengths the engine does not know, a stream without end.
    EXPECT_EQ(placeToKeep(kNaN, 660), std::nullopt);
    EXPECT_EQ(placeToKeep(300, kInfinity), std::nullopt);

    EXPECT_EQ(keptPlaceStart(560, 620.5), 560.0);
    EXPECT_EQ(keptPlaceStart(561, 620.5), std::nullopt);  // replaced by a shorter file
    EXPECT_EQ(keptPlaceStart(330, 599.0), std::nullopt);  // now too short to keep places
    EXPECT_EQ(keptPlaceStart(0, 900), std::nullopt);
}

TEST(KeptPlacesTest, KeepsTheTwoHundredMostRecentlyLeft) {
    KeptPlaces places;
    for (int i = 0; i <= 200; ++i)
        places.keep(u(("D:\\m\\" + std::to_string(i) + ".mp3").c_str()), 100 + i);
    places.keep(u("D:\\m\\5.mp3"), 42);  // left again: first, once

    ASSERT_EQ(places.places().size(), kKeptPlaces);
    EXPECT_EQ(places.places().front(), (KeptPlace{u("D:\\m\\5.mp3"), 42}));
    EXPECT_EQ(places.find(u("D:\\m\\0.mp3")), std::nullopt);  // the oldest went
    EXPECT_EQ(places.find(u("D:\\m\\1.mp3")), 101u);
    EXPECT_EQ(places.find(u("D:\\m\\200.mp3")), 300u);
}

TEST(PlacesFileTest, EveryPathAListCanHoldComesBack) {
    String surrogate = u("D:\\x");
    surrogate += static_cast<Char>(0xD800);  // unpaired, as NTFS allows
    const String longest = u("D:\\") + String(256, 'a');
    KeptPlaces places;
    for (const String& path :
         {u("C:\\a=b;c[d].mp3"), u("[SystemSetting]"), u("D:\\講義\\第1回 「音声」.m4a"),
          u("\\\\server\\share\\#1 ; =x.mkv"), surrogate, longest}) {
        places.keep(path, 777);
    }
    places.keep(u("D:\\tab\there.mp3"), 5);  // no file name has one
    places.keep(longest + u("b"), 5);        // longer than any entry

    ASSERT_EQ(places.places().size(), 6u);
    EXPECT_EQ(parsePlacesFile(formatPlacesFile(places)), places);
}

TEST(PlacesFileTest, AnythingButAWholeFileOfOursIsDamaged) {
    const std::string good = formatPlacesFile([] {
        KeptPlaces places;
        places.keep(u("D:\\a.mp3"), 330);
        return places;
    }());
    ASSERT_TRUE(parsePlacesFile(good));
    const auto le = utf16leFile;
    EXPECT_TRUE(parsePlacesFile(le(u"Zav2 places\r\n")));  // no places at all is a file
    const std::string damaged[] = {
        "",
        good.substr(0, good.size() - 2),      // cut short: no line end
        good.substr(0, good.size() - 1),      // an odd byte
        "Zav2 places\r\n330\tD:\\a.mp3\r\n",  // written as bytes
        le(u"zav2 places\r\n"),               // another file
        le(u"Zav2 places\r\n330 D:\\a.mp3\r\n"),
        le(u"Zav2 places\r\n-3\tD:\\a.mp3\r\n"),
        le(u"Zav2 places\r\n1234567890\tD:\\a.mp3\r\n"),
        le(u"Zav2 places\r\n330\t\r\n"),
    };
    for (const std::string& bytes : damaged)
        EXPECT_FALSE(parsePlacesFile(bytes)) << bytes;
}

TEST(PlacesFileTest, ADamagedFileIsWrittenAnewAndTwoInstancesMerge) {
    const ScratchFolder folder("places");
    const String file = folder.write("Zav2.places", "\xFF\xFE garbage");
    const String lecture = u("D:\\lecture.mp4");
    const String book = u("D:\\book.m4b");

    PlaceKeeper first;
    PlaceKeeper second;
    first.useFile(file);
    second.useFile(file);
    EXPECT_FALSE(first.keepsPlaceOf(lecture));
    first.opened(lecture, 3600);
    second.opened(book, 7200);
    first.left(1800, 3600);
    second.left(4000, 7200);  // reads the first one's place before it writes

    KeptPlaces expected;
    expected.keep(lecture, 1800);
    expected.keep(book, 4000);
    EXPECT_EQ(readPlacesFile(file), expected);
    // The lecture heard to its end is forgotten; the book stays.
    first.opened(lecture, 3600);
    first.left(3590, 3600);
    expected.forget(lecture);
    EXPECT_EQ(readPlacesFile(file), expected);
    EXPECT_EQ(placesFilePath(u("D:\\Tools\\Zav2.exe")), u("D:\\Tools\\Zav2.places"));
}

TEST(PlaceKeeperTest, WhereEntriesGoOnFrom) {
    const String lecture = u("D:\\lecture.mp3");  // 3600 s
    const String song = u("D:\\song.mp3");        // 60 s
    PlaceKeeper keeper;

    // Closed at 0:24 of the song: the next start shows it there, and its
    // first play goes on from there, once.
    keeper.resumeAt(song, 24);
    EXPECT_EQ(keeper.resumePlace(song), 24u);
    EXPECT_EQ(keeper.positionToSave(song, std::nullopt), 24u);  // closed before playing
    EXPECT_EQ(keeper.opened(song, 60.2), 24.0);
    EXPECT_EQ(keeper.positionToSave(song, 31.7), 32u);
    EXPECT_EQ(keeper.positionToSave(lecture, 31.7), 0u);  // not the loaded entry
    keeper.left(31.7, 60.2);
    EXPECT_EQ(keeper.opened(song, 60.2), std::nullopt);  // a short file starts over

    // A place at or past the entry's end (the file changed) starts it at 0.
    keeper.resumeAt(song, 60);
    EXPECT_EQ(keeper.opened(song, 60.0), std::nullopt);

    // The lecture left for another entry goes on from its place, however
    // often it is played again, until it is heard into its last minute.
    keeper.opened(lecture, 3600);
    keeper.left(1234.5, 3600);
    keeper.opened(song, 60.2);
    EXPECT_TRUE(keeper.keepsPlaceOf(lecture));
    EXPECT_EQ(keeper.opened(lecture, 3600), 1234.0);
    EXPECT_EQ(keeper.opened(lecture, 3600), 1234.0);
    // Resumed at start-up without a position of its own: its kept place.
    keeper.resumeAt(lecture, 0);
    EXPECT_EQ(keeper.resumePlace(lecture), 1234u);
    keeper.opened(lecture, 3600);
    keeper.left(3550, 3600);
    EXPECT_FALSE(keeper.keepsPlaceOf(lecture));
    EXPECT_EQ(keeper.opened(lecture, 3600), std::nullopt);
}

}  // namespace
}  // namespace zav2::test
