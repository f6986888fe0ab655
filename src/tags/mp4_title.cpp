// Titles of ".m4a" files: moov/udta/meta/ilst/©nam/data. Only atom headers
// are read, so audio data before the movie atom is jumped over, not read.
#include <algorithm>
#include <optional>

#include "tags/byte_order.h"
#include "tags/readers.h"
#include "tags/tag_text.h"
#include "tags/window_reader.h"

namespace zav2 {

namespace {

struct Atom {
    std::string type;
    uint64_t contentStart = 0;
    uint64_t end = 0;
};

// The atom at `at` inside a parent ending at `parentEnd`; an atom claiming
// more than its parent holds is cut at the parent's end.
std::optional<Atom> atomAt(WindowReader& reader, uint64_t at, uint64_t parentEnd) {
    if (at > parentEnd || parentEnd - at < 8)
        return std::nullopt;
    const std::string_view header = reader.read(at, 16);
    if (header.size() < 8)
        return std::nullopt;
    Atom atom;
    atom.type = header.substr(4, 4);
    uint64_t size = bigEndian32(header, 0);
    uint64_t headerLength = 8;
    if (size == 1) {
        // 64-bit size, used for large media data.
        if (header.size() < 16 || parentEnd - at < 16)
            return std::nullopt;
        size = bigEndian64(header, 8);
        headerLength = 16;
    } else if (size == 0) {
        size = parentEnd - at;  // runs to the end of its parent
    }
    if (size < headerLength)
        return std::nullopt;
    atom.contentStart = at + headerLength;
    atom.end = at + std::min(size, parentEnd - at);
    return atom;
}

std::optional<Atom> findChild(WindowReader& reader, uint64_t from, uint64_t parentEnd,
                              std::string_view type) {
    for (auto atom = atomAt(reader, from, parentEnd); atom;
         atom = atomAt(reader, atom->end, parentEnd)) {
        if (atom->type == type)
            return atom;
    }
    return std::nullopt;
}

}  // namespace

String readMp4Title(FileReader& file) {
    WindowReader reader(file);
    std::optional<Atom> movie;
    for (auto atom = atomAt(reader, 0, file.size()); atom && !movie;
         atom = atomAt(reader, atom->end, file.size())) {
        if (atom->type == "ftyp") {
            const std::string_view brand = reader.read(atom->contentStart, 3);
            if (atom->end - atom->contentStart < 3 || brand != "M4A")
                return {};
        } else if (atom->type == "moov") {
            movie = atom;
        }
    }
    if (!movie)
        return {};
    const auto userData = findChild(reader, movie->contentStart, movie->end, "udta");
    if (!userData)
        return {};
    const auto meta = findChild(reader, userData->contentStart, userData->end, "meta");
    if (!meta)
        return {};
    // meta is a full atom: a version and flags word comes before its children.
    const auto items = findChild(reader, meta->contentStart + 4, meta->end, "ilst");
    if (!items)
        return {};
    const auto name = findChild(reader, items->contentStart, items->end, "\xA9nam");
    if (!name)
        return {};
    // Its data atom: size, "data", type, locale, then the text.
    uint64_t textEnd = name->end;
    if (const auto data = atomAt(reader, name->contentStart, name->end);
        data && data->type == "data" && data->end >= name->contentStart + 16) {
        textEnd = data->end;
    }
    const uint64_t textStart = name->contentStart + 16;
    if (textStart >= textEnd)
        return {};
    return utf8Text(reader.read(textStart, static_cast<size_t>(textEnd - textStart)));
}

}  // namespace zav2
