// Titles of ".m4a" files: moov/udta/meta/ilst/©nam/data; ReplayGain values
// from the freeform items (----) beside it. Only atom headers are read, so
// audio data before the movie atom is jumped over, not read.
#include <algorithm>
#include <optional>

#include "tags/byte_order.h"
#include "tags/gain_fields.h"
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

// The text of an item's data atom: size, "data", type, locale, then the text.
std::string_view itemText(WindowReader& reader, const Atom& item) {
    uint64_t textEnd = item.end;
    if (const auto data = atomAt(reader, item.contentStart, item.end);
        data && data->type == "data" && data->end >= item.contentStart + 16) {
        textEnd = data->end;
    }
    const uint64_t textStart = item.contentStart + 16;
    if (textStart >= textEnd)
        return {};
    return reader.read(textStart, static_cast<size_t>(textEnd - textStart));
}

// A freeform item: "mean" and "name" (full atoms, so after a version and
// flags word) name it, "data" holds its text.
void takeFreeformItem(WindowReader& reader, const Atom& item, ReplayGainTags& gain) {
    constexpr uint64_t kLongest = 256;
    if (item.end - item.contentStart > kLongest)
        return;
    std::string mean;
    std::string name;
    std::string value;
    for (auto child = atomAt(reader, item.contentStart, item.end); child;
         child = atomAt(reader, child->end, item.end)) {
        const auto length = static_cast<size_t>(child->end - child->contentStart);
        if (child->type == "mean" && length >= 4)
            mean = reader.read(child->contentStart + 4, length - 4);
        else if (child->type == "name" && length >= 4)
            name = reader.read(child->contentStart + 4, length - 4);
        else if (child->type == "data" && length >= 8 && value.empty())
            value = reader.read(child->contentStart + 8, length - 8);
    }
    if (mean == "com.apple.iTunes")
        takeGainField(gain, name, value, GainNames::ReplayGain);
}

}  // namespace

String readMp4Title(FileReader& file, ReplayGainTags* gain) {
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
    if (!gain) {
        const auto name = findChild(reader, items->contentStart, items->end, "\xA9nam");
        return name ? utf8Text(itemText(reader, *name)) : String();
    }
    std::optional<String> title;
    for (auto item = atomAt(reader, items->contentStart, items->end); item;
         item = atomAt(reader, item->end, items->end)) {
        if (item->type == "----")
            takeFreeformItem(reader, *item, *gain);
        else if (!title && item->type == "\xA9nam")
            title = utf8Text(itemText(reader, *item));
    }
    return title.value_or(String());
}

}  // namespace zav2
