#include "ui/panel_text.h"

#include <cstdint>

namespace zav2 {

namespace {

using Byte = unsigned char;

bool inRange(Byte b, Byte low, Byte high) {
    return b >= low && b <= high;
}

bool continuation(Byte b) {
    return inRange(b, 0x80, 0xBF);
}

Byte at(std::string_view bytes, size_t i) {
    return static_cast<Byte>(bytes[i]);
}

long long utf8Score(std::string_view b) {
    const size_t n = b.size();
    long long score = 0;
    size_t i = 0;
    while (i < n) {
        const Byte c = at(b, i);
        if (c == 0xA0 || c == 0xFF) {
            ++i;
            continue;
        }
        if (c <= 0x7F) {
            ++score;
            ++i;
            continue;
        }
        if (i + 1 >= n) {  // a last byte adds nothing
            ++i;
            continue;
        }
        if (inRange(c, 0xC0, 0xDF) && continuation(at(b, i + 1))) {
            score += 2;
            i += 2;
            continue;
        }
        if (i + 2 >= n) {  // second to last without a pair
            ++i;
            continue;
        }
        if (inRange(c, 0xE0, 0xEF) && continuation(at(b, i + 1)) && continuation(at(b, i + 2))) {
            score += 3;
            i += 3;
            continue;
        }
        if (i + 3 == n)  // third from the end and no sequence: not UTF-8
            return -1;
        if (inRange(c, 0xF0, 0xF7) && continuation(at(b, i + 1)) && continuation(at(b, i + 2)) &&
            continuation(at(b, i + 3))) {
            score += 4;
            i += 4;
            continue;
        }
        ++i;
    }
    return score;
}

long long shiftJisScore(std::string_view b) {
    const size_t n = b.size();
    long long score = 0;
    size_t i = 0;
    while (i < n) {
        const Byte c = at(b, i);
        if (c == 0xA0 || c == 0xFF) {
            ++i;
            continue;
        }
        if (c <= 0x7F || inRange(c, 0xA1, 0xDF)) {
            ++score;
            ++i;
            continue;
        }
        if (i + 1 >= n) {
            ++i;
            continue;
        }
        const Byte next = at(b, i + 1);
        const bool lead = inRange(c, 0x81, 0x9F) || inRange(c, 0xE0, 0xFC);
        const bool trail = inRange(next, 0x40, 0x7E) || inRange(next, 0x80, 0xFC);
        if (!lead || !trail)
            return -1;
        score += 2;
        i += 2;
    }
    return score;
}

bool startsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

std::string_view afterMark(std::string_view bytes, size_t markSize) {
    return bytes.size() >= markSize ? bytes.substr(markSize) : std::string_view{};
}

// The C runtime's text mode: each CR LF pair reads as one LF.
String joinCrLf(StringView text) {
    String out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        out.push_back(text[i]);
    }
    return out;
}

String dropZeroUnits(String text) {
    // A zero unit would end the text where the window takes it.
    std::erase(text, Char{0});
    return text;
}

}  // namespace

TextEncoding detectTextEncoding(std::string_view bytes) {
    if (startsWith(bytes, "\xFF\xFE"))
        return TextEncoding::Utf16Le;
    if (startsWith(bytes, "\xFE\xFF"))
        return TextEncoding::Utf16Be;
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    if (bytes.find('\0') != std::string_view::npos)
        return TextEncoding::NotText;
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && static_cast<Byte>(c) <= 0x7E;
    if (ascii)
        return TextEncoding::Ansi;
    return utf8Score(bytes) >= shiftJisScore(bytes) ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

size_t characterBoundary(std::string_view bytes, TextEncoding encoding, size_t limit) {
    if (bytes.size() <= limit)
        return bytes.size();
    switch (encoding) {
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: {
            size_t cut = limit & ~size_t{1};
            if (cut >= 2) {
                const size_t high = encoding == TextEncoding::Utf16Le ? cut - 1 : cut - 2;
                if ((at(bytes, high) & 0xFC) == 0xD8)  // a lead surrogate without its pair
                    cut -= 2;
            }
            return cut;
        }
        case TextEncoding::Utf8: {
            // Back from the first byte left out to the start of its sequence.
            size_t cut = limit;
            while (cut > 0 && limit - cut < 3 && continuation(at(bytes, cut)))
                --cut;
            return continuation(at(bytes, cut)) ? limit : cut;
        }
        case TextEncoding::Ansi:
        case TextEncoding::NotText:
            // Bytes below 0x40 are never the second byte of a double-byte
            // character in any ANSI code page: cut after the last of them.
            for (size_t cut = limit; cut > 0; --cut) {
                if (at(bytes, cut - 1) < 0x40)
                    return cut;
            }
            return limit;
    }
    return limit;
}

String assemblePanelLines(StringView text) {
    constexpr size_t kPiece = 1239;
    const String joined = joinCrLf(text);
    const StringView rest(joined);
    String out;
    out.reserve(joined.size() + joined.size() / 8 + 2);
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = start;
        while (end < rest.size() && end - start < kPiece) {
            if (rest[end++] == u'\n')
                break;
        }
        StringView piece = rest.substr(start, end - start);
        start = end;
        if (!piece.empty() && piece.back() == u'\n')
            piece.remove_suffix(1);
        out.append(piece);
        out.append(ZT("\r\n"));
    }
    return out;
}

String companionText(std::string_view bytes, TextEncoding encoding) {
    String decoded;
    switch (encoding) {
        case TextEncoding::NotText:
            return {};
        case TextEncoding::Ansi:
            decoded = ansiToUtf16(bytes);
            break;
        case TextEncoding::Utf8:
            decoded = utf8ToUtf16(startsWith(bytes, "\xEF\xBB\xBF") ? afterMark(bytes, 3) : bytes);
            break;
        case TextEncoding::Utf16Le:
            decoded = utf16leToString(afterMark(bytes, 2));
            break;
        case TextEncoding::Utf16Be:
            decoded = utf16beToString(afterMark(bytes, 2));
            break;
    }
    return assemblePanelLines(dropZeroUnits(std::move(decoded)));
}

String lyricsForPanel(StringView lyrics) {
    if (lyrics.find(ZT("\r\n")) != StringView::npos)
        return String(lyrics);
    String out;
    out.reserve(lyrics.size() + 8);
    for (Char c : lyrics) {
        out.push_back(c);
        if (c == u'\r')
            out.push_back(u'\n');
    }
    return out;
}

}  // namespace zav2
