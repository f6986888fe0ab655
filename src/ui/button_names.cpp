#include "ui/button_names.h"

#include "resources/resource.h"

namespace zav2 {

namespace {

struct Row {
    int button;
    int icon;  // 0: whatever icon the button shows
    ButtonName name;
};

// Keys as the accelerator table has them; the open and top-most buttons and
// the list button's place have none.
constexpr Row kRows[] = {
    {IDC_OPEN_BUTTON, 0, {ZT("開く"), {}}},
    {IDC_PLAY_BUTTON, 0, {ZT("再生 / 一時停止"), ZT("Space")}},
    {IDC_STOP_BUTTON, 0, {ZT("停止"), ZT("Enter")}},
    {IDC_PREVIOUS_BUTTON, 0, {ZT("前へ"), ZT("↑")}},
    {IDC_NEXT_BUTTON, 0, {ZT("次へ"), ZT("↓")}},
    {IDC_MODE_BUTTON, IDI_MODE_ORDER, {ZT("再生モード: 順番"), ZT("End")}},
    {IDC_MODE_BUTTON, IDI_MODE_RANDOM, {ZT("再生モード: ランダム"), ZT("End")}},
    {IDC_MODE_BUTTON, IDI_MODE_SINGLE, {ZT("再生モード: 単曲"), ZT("End")}},
    {IDC_MODE_BUTTON, IDI_MODE_ONCE, {ZT("再生モード: 一巡"), ZT("End")}},
    {IDC_TOPMOST_BUTTON, IDI_TOPMOST_ON, {ZT("最前面表示: オン"), {}}},
    {IDC_TOPMOST_BUTTON, IDI_TOPMOST_OFF, {ZT("最前面表示: オフ"), {}}},
    {IDC_LIST_BUTTON, IDI_LIST_LEFT, {ZT("リスト: 左"), {}}},
    {IDC_LIST_BUTTON, IDI_LIST_RIGHT, {ZT("リスト: 右"), {}}},
    {IDC_LIST_BUTTON, IDI_LIST_FULL, {ZT("リスト: 全体"), {}}},
    {IDC_LIST_BUTTON, IDI_LIST_HIDDEN, {ZT("リスト: 非表示"), {}}},
};

}  // namespace

std::optional<ButtonName> iconButtonName(int buttonId, int iconId) {
    for (const Row& row : kRows) {
        if (row.button == buttonId && (row.icon == 0 || row.icon == iconId))
            return row.name;
    }
    return std::nullopt;
}

String tooltipText(const ButtonName& button) {
    String text(button.name);
    if (!button.key.empty())
        text += String(ZT(" (")) + String(button.key) + ZT(")");
    return text;
}

}  // namespace zav2
