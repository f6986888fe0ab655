#include "platform/file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace zav2 {

namespace {

std::string native(StringView path) {
    return utf16ToUtf8(path);
}

class PosixFileReader final : public FileReader {
  public:
    PosixFileReader(int fd, uint64_t size) : fd_(fd), size_(size) {}
    ~PosixFileReader() override { ::close(fd_); }
    PosixFileReader(const PosixFileReader&) = delete;
    PosixFileReader& operator=(const PosixFileReader&) = delete;

    uint64_t size() const override { return size_; }
    size_t readAt(uint64_t offset, void* buffer, size_t count) override {
        if (offset >= size_)
            return 0;
        if (count > size_ - offset)
            count = static_cast<size_t>(size_ - offset);
        size_t done = 0;
        while (done < count) {
            const ssize_t got = ::pread(fd_, static_cast<char*>(buffer) + done, count - done,
                                        static_cast<off_t>(offset + done));
            if (got <= 0)
                break;
            done += static_cast<size_t>(got);
        }
        return done;
    }

  private:
    int fd_;
    uint64_t size_;
};

}  // namespace

bool pathExists(StringView path) {
    struct stat info;
    return ::stat(native(path).c_str(), &info) == 0;
}

bool isDirectory(StringView path) {
    struct stat info;
    return ::stat(native(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<FolderItem> listFolder(StringView folder) {
    std::vector<FolderItem> items;
    const std::string base = native(folder);
    DIR* dir = ::opendir(base.c_str());
    if (!dir)
        return items;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat info;
        const bool folderItem =
            ::stat((base + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        items.push_back({utf8ToUtf16(name), folderItem});
    }
    ::closedir(dir);
    return items;
}

std::unique_ptr<FileReader> FileReader::open(StringView path) {
    const int fd = ::open(native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFileReader>(fd, static_cast<uint64_t>(info.st_size));
}

bool writeFileReplacing(StringView path, std::string_view bytes) {
    const std::string target = native(path);
    std::string temporary;
    int fd = -1;
    for (uint32_t attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = native(temporaryPathBeside(path, attempt));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        ok = written > 0;
        if (ok)
            done += static_cast<size_t>(written);
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

}  // namespace zav2
