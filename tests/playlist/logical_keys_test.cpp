#include "playlist/logical_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/text.h"

namespace zav2 {
namespace {

LogicalKey keyOf(StringView text) {
    LogicalKey key;
    appendLogicalKey(key, text);
    return key;
}

int sign(int value) {
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

// Every pair must compare by keys as compareLogical compares the texts, equal
// included: a sort by keys then gives the comparison's order, ties and all.
void expectKeysAgree(const std::vector<String>& texts) {
    std::vector<LogicalKey> keys;
    for (const String& text : texts)
        keys.push_back(keyOf(text));
    for (size_t a = 0; a < texts.size(); ++a) {
        for (size_t b = 0; b < texts.size(); ++b) {
            ASSERT_EQ(sign(keys[a].compare(keys[b])), compareLogical(texts[a], texts[b]))
                << utf16ToUtf8(texts[a]) << " vs " << utf16ToUtf8(texts[b]);
        }
    }
}

TEST(LogicalKeys, OrderAwkwardNamesAsTheComparisonDoes) {
    expectKeysAgree({
        ZT(""),
        ZT("0"),
        ZT("00"),
        ZT("000"),
        ZT("1"),
        ZT("01"),
        ZT("001"),
        ZT("10"),
        ZT("010"),
        ZT("9"),
        ZT("09"),
        ZT("a"),
        ZT("A"),
        ZT("a0"),
        ZT("a00"),
        ZT("a1"),
        ZT("a01"),
        ZT("a1b"),
        ZT("a01b"),
        ZT("a1c"),
        ZT("a 1"),
        ZT("a_1"),
        ZT("a-1"),
        ZT("a.1"),
        ZT("a10"),
        ZT("a2"),
        ZT("ab"),
        ZT("AB"),
        ZT("aB"),
        ZT("abc"),
        ZT("track2"),
        ZT("Track02"),
        ZT("track10"),
        ZT("x1y2"),
        ZT("x01y1"),
        ZT("x1y01"),
        ZT("x1y1"),
        ZT("2a"),
        ZT("Disc 2"),
        ZT("Disc 10"),
        ZT("１"),
        ZT("２"),
        ZT("１０"),
        ZT("a１"),
        ZT("ａ"),
        ZT("Ａ"),
        ZT("ｚ"),
        ZT("あ"),
        ZT("ア"),
        ZT("ｱ"),
        ZT("か"),
        ZT("が"),
        ZT("カ"),
        ZT("漢字"),
        ZT("曲1"),
        ZT("曲01"),
        ZT("曲10"),
        ZT("é"),
        ZT("É"),
        ZT("ÿ"),
        ZT("ß"),
        ZT("÷"),
        ZT("²"),
        ZT("~"),
        ZT("!"),
        ZT(" "),
        ZT("  "),
        ZT("[1]"),
        ZT("(2)"),
        ZT(".mp3"),
        ZT(".MP3"),
        ZT(".flac"),
        ZT("a."),
        ZT("18446744073709551616"),
        ZT("18446744073709551615"),
        ZT("0018446744073709551616"),
        String(1, 0),
        String(2, 0),
        String(1, 0xFFFF),
    });
}

// Names made of the characters that matter, a few thousand of them, each
// compared with a random other and with its neighbours in logical order.
TEST(LogicalKeys, AgreeWithTheComparisonOnRandomNames) {
    const String alphabet = ZT("0019aAbZz _.-~÷éÉ１０ａＡあアｱ漢");
    std::mt19937 random(7);
    std::vector<String> names(3000);
    for (String& name : names) {
        const size_t length = random() % 9;
        for (size_t i = 0; i < length; ++i)
            name.push_back(alphabet[random() % alphabet.size()]);
    }
    std::vector<String> sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const String& a, const String& b) { return compareLogical(a, b) < 0; });
    std::vector<String> byKeys = names;
    std::stable_sort(byKeys.begin(), byKeys.end(),
                     [](const String& a, const String& b) { return keyOf(a) < keyOf(b); });
    ASSERT_EQ(byKeys, sorted);
    for (size_t i = 0; i < names.size(); ++i) {
        const String& other = names[random() % names.size()];
        ASSERT_EQ(sign(keyOf(names[i]).compare(keyOf(other))), compareLogical(names[i], other))
            << utf16ToUtf8(names[i]) << " vs " << utf16ToUtf8(other);
    }
}

// Where keys and the shell's comparison disagree, settling must give the
// comparison's stable order whatever the keys left.
TEST(SettleOrder, GivesTheStableOrderOfTheComparison) {
    std::mt19937 random(11);
    std::vector<int> ascending(500);
    for (size_t i = 0; i < ascending.size(); ++i)
        ascending[i] = static_cast<int>(i / 3);  // ties, told apart by position
    std::vector<int> descending(ascending.rbegin(), ascending.rend());
    std::vector<int> shuffled = ascending;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::vector<int> nearly = ascending;
    for (int swap = 0; swap < 20; ++swap)
        std::swap(nearly[random() % nearly.size()], nearly[random() % nearly.size()]);
    const std::vector<std::vector<int>> cases = {
        {}, {4}, {2, 1}, ascending, descending, shuffled, nearly, {3, 1, 2, 1, 3, 0, 2}};
    for (const std::vector<int>& values : cases) {
        // (value, position): only the value is compared.
        std::vector<std::pair<int, size_t>> items;
        for (size_t i = 0; i < values.size(); ++i)
            items.emplace_back(values[i], i);
        const auto before = [](const auto& a, const auto& b) { return a.first < b.first; };
        auto expected = items;
        std::stable_sort(expected.begin(), expected.end(), before);
        settleOrder(items.begin(), items.end(), before);
        EXPECT_EQ(items, expected) << values.size() << " values";
    }
}

}  // namespace
}  // namespace zav2
