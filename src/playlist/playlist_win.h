// The play list's Windows side: the list-box and caption mirrors over real
// windows, saving lists with the save dialog, and the search dialogs.
#pragma once

#include <windows.h>

#include "playlist/playlist.h"
#include "playlist/playlist_view_win.h"
#include "playlist/row_at_point.h"

namespace zav2 {

// Dialog and control ids of the filter and jump dialogs.
inline constexpr int kFilterDialogId = 129;
inline constexpr int kJumpDialogId = 130;
inline constexpr int kSearchEditId = 1016;

// The play list's list box (control 1001 of the main dialog). The box keeps
// no data (LBS_NODATA), only the count of its rows and their selection; the
// texts are in `rows`, which the owner draws from. So a row's text changes
// without a list-box call, and a refill of 100,000 rows costs one message
// instead of 100,000 strings copied in and, for an owner-drawn box, 100,000
// WM_DELETEITEM sent out.
class ListBoxWindow final : public ListBoxMirror {
  public:
    // `procedure`: the list box's window procedure from before it was
    // subclassed, or null to send through the window.
    ListBoxWindow(HWND listBox, std::vector<String>& rows, WNDPROC procedure = nullptr)
        : window_(listBox), procedure_(procedure), rows_(rows) {}
    explicit ListBoxWindow(PlaylistView& list)
        : ListBoxWindow(list.listBox, list.rows, list.listBoxProcedure) {}

    int count() const override;
    String text(int index) const override;
    void insert(int index, StringView text) override;
    void remove(int index) override;
    void replace(int index, StringView text) override;
    void reset(int expectedCount) override;
    void insertMany(int index, const std::vector<String>& texts) override;
    void removeMany(const std::vector<int>& ascending) override;

    std::vector<int> selection() const override;
    void setSelected(int index, bool selected) override;
    void selectRange(int first, int last) override;
    void selectAll() override;
    void clearSelection() override;

    int topIndex() const override;
    void setTopIndex(int index) override;
    int visibleRows() const override;
    void repaint() override;
    void setRedraw(bool on) override;

  private:
    // Sets the count of rows to rows_, then the selection and the scroll
    // position.
    void recount(const std::vector<int>& selected, int top);
    void invalidateRow(int index);

    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    HWND window_;
    WNDPROC procedure_;
    std::vector<String>& rows_;
    int redrawPauses_ = 0;
    // Something in view changed while painting was off.
    bool viewChanged_ = false;
};

// The row of the play list's box under a point of its client area: every
// caller that maps a point to a row (menus, drops, clicks, drags) asks here,
// never LB_ITEMFROMPOINT, whose 16 bits name another row past 65,535.
RowAtPoint listRowAtPoint(HWND listBox, POINT clientPoint);

class WindowCaption final : public CaptionTarget {
  public:
    explicit WindowCaption(HWND window) : window_(window) {}
    String text() const override;
    void setText(StringView text) override;

  private:
    HWND window_;
};

// Saves the whole list. Automatic (at exit): to `resumeList`, with full
// paths. Otherwise the save dialog asks for the file (in currentFolder, which
// then becomes the chosen file's folder) and an existing file goes to the
// recycle bin first. ".m3u" is written in the ANSI code page, anything else in
// UTF-8. The caption shows the progress and then `captionToRestore`. Failures
// of a dialog save are reported in a message box. Returns true when written.
bool writePlaylistFile(HWND mainWindow, const Playlist& playlist, String& currentFolder,
                       bool automatic, StringView resumeList, StringView captionToRestore,
                       bool noExt, int durationSeconds);

// The writing step of writePlaylistFile, to a known target.
bool writePlaylistTo(HWND mainWindow, StringView target, const Playlist& playlist,
                     StringView currentFolder, bool automatic, StringView captionToRestore,
                     bool noExt, int durationSeconds);

// The file's short (8.3) path, which the ANSI code page can always spell when
// the volume keeps short names; empty when there is none.
String shortPathOf(StringView path);

// Dialog procedure shared by the filter (129) and jump (130) dialogs. The
// dialog's creation parameter is a SearchDialogState.
struct SearchDialogState {
    String* expression = nullptr;  // set on OK, emptied on any other close
    HWND mainWindow = nullptr;     // re-enabled when the dialog closes
};
INT_PTR CALLBACK searchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Disables the main window and runs dialog `dialogId` modally. Returns true
// when the user entered an expression (then in `expression`).
bool runSearchDialog(HINSTANCE instance, HWND mainWindow, int dialogId, String& expression);

}  // namespace zav2
