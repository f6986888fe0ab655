// zav2-big-lists-bench: a big tagged folder opened by the real Zav2.exe,
// timed from outside, beside the platform floors measured in the same run
// (bench/big_lists.sh makes the folder and runs this under tools/wine-run).
//
//   zav2-big-lists-bench <folder holding Zav2.exe> <media folder> <files>
//
// The media folder holds 100 sub-folders dNN of files tNNNNN.mp3 whose ID3
// title is "Title NN-NNNNN". Prints the floors (walking the tree; opening,
// reading 4 KiB and closing each file; filling a prepared list box), then the
// program's times as ratios to them. Lines "phase <name>" tell the script
// when to sample the program's memory (it pauses 1.5 s after each).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "instance_window_win.h"

namespace {

double now() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void phase(const char* name) {
    std::printf("phase %s\n", name);
    std::fflush(stdout);
    Sleep(1500);
}

void walk(const std::wstring& folder, std::vector<std::wstring>& files) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            walk(folder + L"\\" + name, files);
        else
            files.push_back(folder + L"\\" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

double openReadClose(const std::vector<std::wstring>& files) {
    const double start = now();
    std::vector<char> buffer(4096);
    for (const std::wstring& path : files) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        DWORD got = 0;
        ReadFile(file, buffer.data(), 4096, &got, nullptr);
        CloseHandle(file);
    }
    return now() - start;
}

double preparedFill(int count) {
    HWND box = CreateWindowExW(
        0, L"LISTBOX", L"",
        WS_POPUP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL, 0,
        0, 200, 400, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i)
        names.push_back(L"t" + std::to_wstring(100000 + i).substr(1));
    const double start = now();
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, LB_INITSTORAGE, static_cast<WPARAM>(count), count * 64);
    for (const std::wstring& name : names)
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    const double took = now() - start;
    DestroyWindow(box);
    return took;
}

using zav2::bench::findInstance;

// What row k of the sorted folder must show once its title is read.
std::wstring expectedRow(int k, int perFolder) {
    const int folder = k / perFolder;
    const int file = k % perFolder;
    wchar_t text[64];
    swprintf(text, 64, L"Title %02d-%05d", folder, file);
    return text;
}

// The longest any question to the program waited for its answer, counted
// from the first question to its window on, and when it was asked (seconds
// from the start of what is watched): that tells which step held the window.
double longestWait = 0;
double longestWaitAsked = 0;
double watchedSince = 0;

bool ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* answer) {
    const double asked = now();
    const bool answered =
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 30000, answer) != 0;
    if (const double waited = now() - asked; waited > longestWait) {
        longestWait = waited;
        longestWaitAsked = asked - watchedSince;
    }
    return answered;
}

std::wstring rowText(HWND list, int row) {
    DWORD_PTR length = 0;
    if (!ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0, &length) ||
        static_cast<LONG_PTR>(length) < 0 || length > 1000)
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    ask(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()), &got);
    text.resize(std::min<size_t>(got, text.size()));
    return text;
}

struct Watch {
    double window = -1;  // the window answers
    double rows = -1;    // every row listed
    double titles = -1;  // every sampled row shows its title
    double longestStall = 0;
    double longestStallAt = 0;
    int wrongRows = -1;  // of all rows, checked once at the end
};

// A question to the window every 50 ms, as a user's clicks and keys would
// come: a probe much busier than that slows the program it measures (every
// answer ends a slice of its work).
constexpr DWORD kProbeMilliseconds = 50;

// Times one start of the program until its rows show their titles; the
// window is asked a question (WM_NULL, then the row count) every probe
// meanwhile, besides the rows it reads, and the longest wait for any answer
// is kept: from the moment the window exists, its first answer included.
Watch watchStart(const std::wstring& app, const std::wstring& argument, int count, int perFolder,
                 PROCESS_INFORMATION& process, double limit) {
    Watch watch;
    std::wstring commandLine = L"\"" + app + L"\\Zav2.exe\"";
    if (!argument.empty())
        commandLine += L" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const double start = now();
    watchedSince = start;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        app.c_str(), &startup, &process)) {
        std::printf("cannot start Zav2.exe\n");
        std::exit(1);
    }
    HWND window = nullptr;
    HWND list = nullptr;
    longestWait = 0;
    while (now() - start < limit) {
        if (!window) {
            window = findInstance();
            if (!window) {
                Sleep(10);
                continue;
            }
            list = GetDlgItem(window, 1001);
        }
        DWORD_PTR rows = 0;
        const bool answered =
            ask(window, WM_NULL, 0, 0, nullptr) && ask(list, LB_GETCOUNT, 0, 0, &rows);
        const double answeredAt = now();
        if (!answered)
            continue;
        if (watch.window < 0)
            watch.window = answeredAt - start;
        if (watch.rows < 0 && static_cast<int>(rows) == count)
            watch.rows = answeredAt - start;
        if (watch.rows >= 0) {
            // The last row is read last: until it shows its title, the
            // samples are not read (reading 65 rows every probe would take
            // a fifth of the time the program has for its titles).
            bool all = rowText(list, count - 1) == expectedRow(count - 1, perFolder);
            for (int s = 0; s <= 64 && all; ++s) {
                const int row = static_cast<int>(static_cast<long long>(count - 1) * s / 64);
                all = rowText(list, row) == expectedRow(row, perFolder);
            }
            if (all) {
                watch.titles = now() - start;
                break;
            }
        }
        Sleep(kProbeMilliseconds);
    }
    watch.longestStall = longestWait;
    watch.longestStallAt = longestWaitAsked;
    if (list) {
        watch.wrongRows = 0;
        for (int row = 0; row < count; ++row)
            watch.wrongRows += rowText(list, row) != expectedRow(row, perFolder);
    }
    return watch;
}

struct SortWatch {
    double command = -1;  // the sort command answered
    double sorted = -1;   // the first rows show the sorted order again
    double longestStall = 0;
    double longestStallAt = 0;
};

// The sort (S) of the opened list, put out of order first (row 0 moved down
// one): the window is asked a question every probe until the first rows are
// in order again, and the longest wait for any answer kept, the command's
// own included. A sort may answer at once and order the rows later.
SortWatch watchSort(HWND window, int perFolder) {
    constexpr WPARAM kMoveSelectionDown = 2000;
    constexpr WPARAM kSort = 2900;
    SortWatch watch;
    const HWND list = GetDlgItem(window, 1001);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, 0);
    SendMessageW(window, WM_COMMAND, kMoveSelectionDown, 0);
    const auto inOrder = [&] {
        return rowText(list, 0) == expectedRow(0, perFolder) &&
               rowText(list, 1) == expectedRow(1, perFolder);
    };
    if (inOrder()) {
        std::printf("  the list could not be put out of order to sort it\n");
        return watch;
    }
    longestWait = 0;
    const double start = now();
    watchedSince = start;
    ask(window, WM_COMMAND, kSort, 0, nullptr);
    watch.command = now() - start;
    while (now() - start < 60) {
        if (inOrder()) {
            watch.sorted = now() - start;
            break;
        }
        ask(window, WM_NULL, 0, 0, nullptr);
        Sleep(kProbeMilliseconds);
    }
    watch.longestStall = longestWait;
    watch.longestStallAt = longestWaitAsked;
    return watch;
}

void printStall(const char* what, double stall, double askedAt) {
    std::printf("  %-34s %8.3f s (asked at %.3f s)\n", what, stall, askedAt);
}

double closeProgram(PROCESS_INFORMATION& process) {
    const double start = now();
    if (HWND window = findInstance())
        PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return now() - start;
}

// Starts the program on `argument` and closes it as soon as its window
// answers: the time from the close until the process ended.
double startAndCloseAtOnce(const std::wstring& app, const std::wstring& argument) {
    std::wstring commandLine = L"\"" + app + L"\\Zav2.exe\" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        app.c_str(), &startup, &process)) {
        return -1;
    }
    const double start = now();
    HWND window = nullptr;
    while (!window && now() - start < 60) {
        window = findInstance();
        if (!window)
            Sleep(10);
    }
    if (window)
        ask(window, WM_NULL, 0, 0, nullptr);
    return closeProgram(process);
}

void printRatio(const char* what, double seconds, const char* floorName, double floor) {
    if (seconds < 0)
        std::printf("  %-34s not reached\n", what);
    else
        std::printf("  %-34s %8.3f s = %6.2f x %s\n", what, seconds, seconds / floor, floorName);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::printf("usage: zav2-big-lists-bench <app folder> <media folder> <files>\n");
        return 2;
    }
    const std::wstring app = argv[1];
    const std::wstring media = argv[2];
    const int count = _wtoi(argv[3]);
    const int perFolder = count / 100;

    // Floors, the first pass warming the cache.
    std::vector<std::wstring> files;
    walk(media, files);
    files.clear();
    double start = now();
    walk(media, files);
    const double walkFloor = now() - start;
    // The open-read-close floor moves by half its value from one minute to
    // the next here: it is measured before, between and after the program's
    // runs, and the middle one of the three taken.
    double readFloors[3] = {openReadClose(files), 0, 0};
    const double fillFloor = preparedFill(count);
    std::printf(
        "floors for %zu files: walk %.3f s; open, read 4 KiB, close %.3f s; "
        "prepared list-box fill %.3f s\n",
        files.size(), walkFloor, readFloors[0], fillFloor);

    // An empty start (no resume list, no path): the window floor.
    DeleteFileW((app + L"\\Zav2.m3u8").c_str());
    PROCESS_INFORMATION process{};
    const Watch empty = watchStart(app, L"", 0, perFolder, process, 60);
    std::printf("empty start: window answers after %.3f s\n", empty.window);
    phase("empty");
    closeProgram(process);
    DeleteFileW((app + L"\\Zav2.m3u8").c_str());

    const Watch open = watchStart(app, media, count, perFolder, process, 600);
    phase("opened");
    const SortWatch sort = watchSort(findInstance(), perFolder);
    const double close = closeProgram(process);
    readFloors[1] = openReadClose(files);
    const Watch resume = watchStart(app, L"", count, perFolder, process, 600);
    closeProgram(process);
    // Closed while the folder is walked: it used to walk the rest first.
    const double closeInWalk = startAndCloseAtOnce(app, media);
    readFloors[2] = openReadClose(files);
    std::sort(std::begin(readFloors), std::end(readFloors));
    const double readFloor = readFloors[1];
    std::printf("open-read-close floors %.3f, %.3f, %.3f s: the middle one counts\n", readFloors[0],
                readFloors[1], readFloors[2]);

    const double emptyWindow = empty.window;
    std::printf("program, %d files (100 folders), SearchSubFolder=ON:\n", count);
    printRatio("window answering", open.window, "empty start", emptyWindow);
    printRatio("every row listed", open.rows, "walk + fill", walkFloor + fillFloor);
    printRatio("every title shown", open.titles, "open-read-close", readFloor);
    printStall("longest wait for an answer", open.longestStall, open.longestStallAt);
    std::printf("  %-34s %8d\n", "rows without their own title", open.wrongRows);
    printRatio("sort (S): the command answered", sort.command, "prepared fill", fillFloor);
    printRatio("sort (S): sorted rows shown", sort.sorted, "prepared fill", fillFloor);
    printStall("longest wait while sorting", sort.longestStall, sort.longestStallAt);
    std::printf("  %-34s %8.3f s\n", "close until the process ended", close);
    printRatio("close during the walk", closeInWalk, "walk", walkFloor);
    std::printf("resume of the list written at exit:\n");
    printRatio("window answering", resume.window, "empty start", emptyWindow);
    printRatio("every row listed", resume.rows, "prepared fill", fillFloor);
    printRatio("every title shown", resume.titles, "prepared fill", fillFloor);
    printStall("longest wait for an answer", resume.longestStall, resume.longestStallAt);
    std::printf("  %-34s %8d\n", "rows without their own title", resume.wrongRows);
    return 0;
}
