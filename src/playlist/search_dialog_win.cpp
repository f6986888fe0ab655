#include "platform/path.h"
#include "playlist/playlist_win.h"

namespace zav2 {

namespace {

SearchDialogState* stateOf(HWND dialog) {
    return reinterpret_cast<SearchDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The main window was disabled by the caller, so the dialog manager would
// leave it disabled: enable it before the dialog goes, so it gets activated.
void closeDialog(HWND dialog, INT_PTR result) {
    if (SearchDialogState* state = stateOf(dialog); state && state->mainWindow)
        EnableWindow(state->mainWindow, TRUE);
    EndDialog(dialog, result);
}

void setExpression(HWND dialog, String text) {
    if (SearchDialogState* state = stateOf(dialog); state && state->expression)
        *state->expression = std::move(text);
}

String editText(HWND dialog) {
    wchar_t buffer[kMaxPath + 1] = {};
    const UINT length = GetDlgItemTextW(dialog, kSearchEditId, buffer, kMaxPath + 1);
    return String(buffer, length);
}

}  // namespace

INT_PTR CALLBACK searchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SendDlgItemMessageW(dialog, kSearchEditId, EM_LIMITTEXT, kMaxPath, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                setExpression(dialog, editText(dialog));
                closeDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                setExpression(dialog, {});
                closeDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            setExpression(dialog, {});
            closeDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

bool runSearchDialog(HINSTANCE instance, HWND mainWindow, int dialogId, String& expression) {
    SearchDialogState state{&expression, mainWindow};
    EnableWindow(mainWindow, FALSE);
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(dialogId), mainWindow,
                                           searchDialogProc, reinterpret_cast<LPARAM>(&state));
    // Also when the dialog could not be made: never leave the window disabled.
    EnableWindow(mainWindow, TRUE);
    if (result != IDOK)
        expression.clear();
    return !expression.empty();
}

}  // namespace zav2
