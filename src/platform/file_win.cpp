#include "platform/file.h"

#include <windows.h>

namespace zav2 {

namespace {

class WinFileReader final : public FileReader {
  public:
    WinFileReader(HANDLE handle, uint64_t size) : handle_(handle), size_(size) {}
    ~WinFileReader() override { CloseHandle(handle_); }
    WinFileReader(const WinFileReader&) = delete;
    WinFileReader& operator=(const WinFileReader&) = delete;

    uint64_t size() const override { return size_; }
    size_t readAt(uint64_t offset, void* buffer, size_t count) override {
        if (offset >= size_)
            return 0;
        if (count > size_ - offset)
            count = static_cast<size_t>(size_ - offset);
        size_t done = 0;
        while (done < count) {
            OVERLAPPED at{};
            const uint64_t position = offset + done;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            const DWORD chunk =
                static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
            DWORD got = 0;
            if (!ReadFile(handle_, static_cast<char*>(buffer) + done, chunk, &got, &at) ||
                got == 0) {
                break;
            }
            done += got;
        }
        return done;
    }

  private:
    HANDLE handle_;
    uint64_t size_;
};

}  // namespace

bool pathExists(StringView path) {
    const String p(path);
    return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool isDirectory(StringView path) {
    const String p(path);
    const DWORD attributes = GetFileAttributesW(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<FolderItem> listFolder(StringView folder) {
    std::vector<FolderItem> items;
    String pattern(folder);
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return items;
    do {
        const String name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        items.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return items;
}

std::unique_ptr<FileReader> FileReader::open(StringView path) {
    const String p(path);
    HANDLE handle =
        CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size)) {
        CloseHandle(handle);
        return nullptr;
    }
    return std::make_unique<WinFileReader>(handle, static_cast<uint64_t>(size.QuadPart));
}

bool writeFileReplacing(StringView path, std::string_view bytes) {
    const String target(path);
    String temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (uint32_t attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temporary = temporaryPathBeside(path, attempt);
        handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk =
            static_cast<DWORD>(bytes.size() - done > 0x40000000 ? 0x40000000 : bytes.size() - done);
        ok = WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = FlushFileBuffers(handle) && ok;
    CloseHandle(handle);
    if (ok)
        ok = MoveFileExW(temporary.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileW(temporary.c_str());
    return ok;
}

}  // namespace zav2
