// The icon buttons' names: every state a button's icon can show has a name,
// no two buttons share one, and a tooltip names the button's key.
#include <gtest/gtest.h>

#include <set>

#include "resources/resource.h"
#include "ui/button_names.h"

namespace zav2::test {
namespace {

TEST(ButtonNamesTest, EveryIconStateIsNamedAndNoTwoButtonsAlike) {
    const std::pair<int, std::vector<int>> buttons[] = {
        {IDC_OPEN_BUTTON, {IDI_OPEN}},
        {IDC_PLAY_BUTTON, {IDI_PLAY}},
        {IDC_STOP_BUTTON, {IDI_STOP}},
        {IDC_PREVIOUS_BUTTON, {IDI_PREVIOUS}},
        {IDC_NEXT_BUTTON, {IDI_NEXT}},
        {IDC_MODE_BUTTON, {IDI_MODE_ORDER, IDI_MODE_RANDOM, IDI_MODE_SINGLE, IDI_MODE_ONCE}},
        {IDC_TOPMOST_BUTTON, {IDI_TOPMOST_ON, IDI_TOPMOST_OFF}},
        {IDC_LIST_BUTTON, {IDI_LIST_LEFT, IDI_LIST_RIGHT, IDI_LIST_FULL, IDI_LIST_HIDDEN}},
    };
    std::set<String> names;
    size_t states = 0;
    for (const auto& [button, icons] : buttons) {
        for (const int icon : icons) {
            const std::optional<ButtonName> name = iconButtonName(button, icon);
            ASSERT_TRUE(name) << button << " showing " << icon;
            EXPECT_FALSE(name->name.empty());
            names.emplace(name->name);
            ++states;
        }
    }
    EXPECT_EQ(names.size(), states);
    EXPECT_FALSE(iconButtonName(IDC_MODE_BUTTON, IDI_PLAY));
    EXPECT_EQ(tooltipText(*iconButtonName(IDC_PLAY_BUTTON, IDI_PLAY)),
              ZT("再生 / 一時停止 (Space)"));
    EXPECT_EQ(tooltipText(*iconButtonName(IDC_MODE_BUTTON, IDI_MODE_ORDER)),
              ZT("再生モード: 順番 (End)"));
    EXPECT_EQ(tooltipText(*iconButtonName(IDC_OPEN_BUTTON, IDI_OPEN)), ZT("開く"));
    // What the named keys do is checked with the accelerators.
    EXPECT_EQ(tooltipText(*iconButtonName(IDC_STOP_BUTTON, IDI_STOP)), ZT("停止 (Enter)"));
}

}  // namespace
}  // namespace zav2::test
