#include "platform/path.h"

#include <gtest/gtest.h>

namespace zav2 {
namespace {

TEST(Path, FileNameAndFolderFollowTheShell) {
    EXPECT_EQ(fileName(ZT("D:\\a\\x.mp3")), StringView(ZT("x.mp3")));
    EXPECT_EQ(fileName(ZT("D:x.mp3")), StringView(ZT("x.mp3")));
    EXPECT_EQ(folderOf(ZT("D:\\a\\x.mp3")), String(ZT("D:\\a")));
    EXPECT_EQ(folderOf(ZT("D:\\x.mp3")), String(ZT("D:\\")));
    EXPECT_EQ(folderOf(ZT("x")), String());
}

TEST(Path, ExtensionIsFromTheLastDotOfTheLastComponent) {
    EXPECT_EQ(extension(ZT("D:\\v.1\\noext")), StringView());
    EXPECT_EQ(extension(ZT("song. live")), StringView());
    EXPECT_EQ(extension(ZT(".hidden")), StringView(ZT(".hidden")));
    EXPECT_EQ(replaceExtension(ZT("D:\\Tools\\Zav2.exe"), ZT(".ini")),
              String(ZT("D:\\Tools\\Zav2.ini")));
    EXPECT_EQ(removeExtension(ZT("a\\b.c\\d")), String(ZT("a\\b.c\\d")));
}

TEST(Path, CombineAddsOneSeparatorAndKeepsAbsoluteNames) {
    EXPECT_EQ(combinePath(ZT("D:\\a\\"), ZT("b.mp3")), String(ZT("D:\\a\\b.mp3")));
    EXPECT_EQ(combinePath(ZT("D:\\a"), ZT("E:\\b.mp3")), String(ZT("E:\\b.mp3")));
    EXPECT_EQ(combinePath(ZT(""), ZT("b.mp3")), String(ZT("b.mp3")));
    EXPECT_TRUE(isAbsolutePath(ZT("\\\\server\\share")));
    EXPECT_FALSE(isAbsolutePath(ZT("music\\a.mp3")));
}

}  // namespace
}  // namespace zav2
