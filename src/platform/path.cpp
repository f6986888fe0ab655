#include "platform/path.h"

namespace zav2 {

bool isPathSeparator(Char c) {
    return c == '\\' || c == '/';
}

namespace {
size_t lastSeparator(StringView path) {
    for (size_t i = path.size(); i > 0; --i) {
        if (isPathSeparator(path[i - 1]) || (i == 2 && path[1] == ':'))
            return i - 1;
    }
    return StringView::npos;
}
bool isDriveRoot(StringView path) {
    return (path.size() == 2 && path[1] == ':') ||
           (path.size() == 3 && path[1] == ':' && isPathSeparator(path[2]));
}
}  // namespace

StringView fileName(StringView path) {
    const size_t sep = lastSeparator(path);
    return sep == StringView::npos ? path : path.substr(sep + 1);
}

StringView extension(StringView path) {
    const StringView name = fileName(path);
    size_t dot = StringView::npos;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '.')
            dot = i;
        else if (name[i] == ' ')
            dot = StringView::npos;
    }
    return dot == StringView::npos ? StringView{} : name.substr(dot);
}

String folderOf(StringView path) {
    const size_t sep = lastSeparator(path);
    if (sep == StringView::npos)
        return {};
    StringView head = path.substr(0, sep + 1);
    if (isDriveRoot(head) || head.size() == 1)
        return String(head);
    if (head.size() == 2 && isPathSeparator(head[0]) && isPathSeparator(head[1])) {
        return String(head);
    }
    return String(head.substr(0, head.size() - (isPathSeparator(head.back()) ? 1 : 0)));
}

String removeExtension(StringView path) {
    return String(path.substr(0, path.size() - extension(path).size()));
}

String replaceExtension(StringView path, StringView newExtension) {
    return removeExtension(path) + String(newExtension);
}

bool isAbsolutePath(StringView path) {
    if (path.empty())
        return false;
    if (isPathSeparator(path[0]))
        return true;
    return path.size() >= 2 && path[1] == ':';
}

String combinePath(StringView folder, StringView name) {
    if (folder.empty() || isAbsolutePath(name))
        return String(name);
    String out(folder);
    if (!isPathSeparator(out.back()))
        out.push_back(kPathSeparator);
    size_t skip = 0;
    while (skip < name.size() && isPathSeparator(name[skip]))
        ++skip;
    out.append(name.substr(skip));
    return out;
}

}  // namespace zav2
