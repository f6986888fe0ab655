#include "platform/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "scratch_folder.h"

namespace zav2 {
namespace {

// The temporary file never takes a user's own name and never stays behind.
TEST(File, ReplacingWriteKeepsOtherFilesAndLeavesNoTemporary) {
    const test::ScratchFolder folder("file");
    const auto names = [&] {
        std::set<std::string> found;
        for (const auto& item : std::filesystem::directory_iterator(folder.root()))
            found.insert(item.path().filename().string());
        return found;
    };
    const String target = folder.path("list.m3u8");
    ASSERT_TRUE(writeFileReplacing(target + ZT(".tmp"), "mine"));
    ASSERT_TRUE(writeFileReplacing(target, "old"));
    ASSERT_TRUE(writeFileReplacing(target, "new contents"));
    EXPECT_EQ(readWholeFile(target, 100).value_or(""), "new contents");
    EXPECT_EQ(readWholeFile(target + ZT(".tmp"), 100).value_or(""), "mine");
    EXPECT_FALSE(readWholeFile(target, 4).has_value());  // over the limit

    // Failures: no folder to write in; a folder in the target's place.
    EXPECT_FALSE(writeFileReplacing(folder.path("missing-folder/x.txt"), "x"));
    std::filesystem::create_directories(folder.root() / "taken" / "inside");
    EXPECT_FALSE(writeFileReplacing(folder.path("taken"), "x"));
    EXPECT_EQ(names(), (std::set<std::string>{"list.m3u8", "list.m3u8.tmp", "taken"}));
}

TEST(File, ReadsAreBoundedByTheFileSize) {
    const test::ScratchFolder folder("file");
    const String target = folder.path("data.bin");
    ASSERT_TRUE(writeFileReplacing(target, "0123456789"));
    auto file = FileReader::open(target);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 10u);
    EXPECT_EQ(file->readExact(8, 2).value_or(""), "89");
    EXPECT_FALSE(file->readExact(8, 3).has_value());
    EXPECT_FALSE(file->readExact(11, 0).has_value());
    EXPECT_FALSE(file->readExact(1, ~0ull).has_value());  // a hostile size field
    char buffer[4];
    EXPECT_EQ(file->readAt(9, buffer, 4), 1u);
    // A folder is not a file to read.
    std::filesystem::create_directory(folder.root() / "sub");
    EXPECT_FALSE(FileReader::open(folder.path("sub")));
}

}  // namespace
}  // namespace zav2
