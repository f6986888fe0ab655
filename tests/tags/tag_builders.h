// Byte builders for every tag format the readers know, shared by the unit
// tests, the fuzz seed corpus and the benchmark corpus.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zav2::build {

using Bytes = std::string;

// `N` bytes of `v`, most significant first (big-endian) or last.
template <int N, bool kBigEndian>
Bytes bytesOf(uint64_t v) {
    Bytes out(N, '\0');
    for (int i = 0; i < N; ++i)
        out[kBigEndian ? N - 1 - i : i] = static_cast<char>(v >> (8 * i));
    return out;
}
inline constexpr auto be16 = bytesOf<2, true>;
inline constexpr auto be24 = bytesOf<3, true>;
inline constexpr auto be32 = bytesOf<4, true>;
inline constexpr auto be64 = bytesOf<8, true>;
inline constexpr auto le16 = bytesOf<2, false>;
inline constexpr auto le32 = bytesOf<4, false>;
inline constexpr auto le64 = bytesOf<8, false>;

// Seven bits a byte, as ID3v2 stores its sizes.
inline Bytes syncsafe(uint32_t v) {
    return be32((v & 0x7F) | (v & 0x3F80) << 1 | (v & 0x1FC000) << 2 | (v & 0xFE00000) << 3);
}

// UTF-16 text from UTF-16 units, in either byte order.
template <bool kBigEndian>
Bytes utf16(std::u16string_view text) {
    Bytes out;
    for (char16_t c : text)
        out += bytesOf<2, kBigEndian>(c);
    return out;
}
inline constexpr auto utf16le = utf16<false>;
inline constexpr auto utf16be = utf16<true>;
inline Bytes utf8(std::u8string_view text) {
    return Bytes(reinterpret_cast<const char*>(text.data()), text.size());
}

inline const Bytes kBomLe("\xFF\xFE", 2);
inline const Bytes kBomBe("\xFE\xFF", 2);
inline const Bytes kNul(1, '\0');
inline const Bytes kNul2(2, '\0');

// Inserts a 0x00 after every 0xFF that is followed by 0x00 or a byte of
// 0xE0 or more (and after a final 0xFF), as ID3v2 unsynchronisation does.
inline Bytes unsynchronise(std::string_view bytes) {
    Bytes out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        const uint8_t next = i + 1 < bytes.size() ? static_cast<uint8_t>(bytes[i + 1]) : 0;
        if (static_cast<uint8_t>(bytes[i]) == 0xFF && (next == 0 || next >= 0xE0))
            out.push_back('\0');
    }
    return out;
}

// ---- ID3 -------------------------------------------------------------------

// A frame of a tag of major version 2, 3 or 4; `size` overrides the stored
// size when given.
inline Bytes id3Frame(int version, std::string_view id, std::string_view content,
                      uint32_t flags = 0, int64_t size = -1) {
    const uint32_t stored =
        size < 0 ? static_cast<uint32_t>(content.size()) : static_cast<uint32_t>(size);
    if (version == 2)
        return Bytes(id) + be24(stored) + Bytes(content);
    return Bytes(id) + (version == 4 ? syncsafe(stored) : be32(stored)) + be16(flags) +
           Bytes(content);
}

// A text frame's content: encoding byte and text.
inline Bytes id3Text(char encoding, std::string_view text) {
    return Bytes(1, encoding).append(text);
}

// ID3v2 tag: header and body (extended header, frames, padding).
inline Bytes id3Tag(int version, std::string_view body, uint8_t flags = 0, int64_t size = -1) {
    const uint32_t stored =
        size < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(size);
    return Bytes("ID3") + static_cast<char>(version) + '\0' + static_cast<char>(flags) +
           syncsafe(stored) + Bytes(body);
}

// ID3v1 tag (128 bytes) with a 30-byte title field.
inline Bytes id3v1(std::string_view title) {
    Bytes tag = "TAG" + Bytes(title.substr(0, 30));
    tag.resize(128, '\0');
    return tag;
}

// Lyrics frame content: encoding, language, descriptor, text (each given
// with its own terminator and byte-order marks).
inline Bytes lyricsContent(char encoding, std::string_view descriptor, std::string_view text) {
    return Bytes(1, encoding) + "jpn" + Bytes(descriptor) + Bytes(text);
}

// APIC content: encoding, MIME type, picture type, description, image.
inline Bytes apicContent(char encoding, uint8_t type, std::string_view description,
                         std::string_view image) {
    return Bytes(1, encoding) + "image/jpeg" + kNul + static_cast<char>(type) + Bytes(description) +
           Bytes(image);
}

// PIC content (version 2.2): encoding, format, picture type, description, image.
inline Bytes picContent(uint8_t type, std::string_view description, std::string_view image) {
    return Bytes(1, '\0') + "JPG" + static_cast<char>(type) + Bytes(description) + Bytes(image);
}

// ---- FLAC and Vorbis comments ----------------------------------------------

inline Bytes vorbisComments(std::string_view vendor, const std::vector<Bytes>& comments,
                            int64_t count = -1) {
    Bytes out =
        le32(vendor.size()) + Bytes(vendor) +
        le32(count < 0 ? static_cast<uint32_t>(comments.size()) : static_cast<uint32_t>(count));
    for (const Bytes& comment : comments)
        out += le32(comment.size()) + comment;
    return out;
}

inline Bytes flacBlock(uint8_t type, std::string_view body, bool last = false) {
    return Bytes(1, static_cast<char>(type | (last ? 0x80 : 0))) + be24(body.size()) + Bytes(body);
}

// "fLaC", STREAMINFO, the given blocks (the last one marked last), audio.
inline Bytes flacFile(const std::vector<std::pair<uint8_t, Bytes>>& blocks,
                      std::string_view audio = "") {
    Bytes out = "fLaC" + flacBlock(0, Bytes(34, '\x11'));  // STREAMINFO
    for (size_t i = 0; i < blocks.size(); ++i)
        out += flacBlock(blocks[i].first, blocks[i].second, i + 1 == blocks.size());
    return out + Bytes(audio);
}

// ---- Ogg -------------------------------------------------------------------

inline Bytes oggPage(uint32_t serial, uint32_t sequence, uint8_t type,
                     const std::vector<uint8_t>& lacing, std::string_view data) {
    Bytes out = "OggS" + Bytes(1, '\0') + static_cast<char>(type) + le64(0) + le32(serial) +
                le32(sequence) + le32(0) + static_cast<char>(lacing.size());
    for (uint8_t l : lacing)
        out.push_back(static_cast<char>(l));
    return out + Bytes(data);
}

// Lays packets of one stream out in pages of at most `maxSegments` segments;
// the first packet gets a page of its own, as Vorbis requires.
inline Bytes oggStream(uint32_t serial, const std::vector<Bytes>& packets,
                       size_t maxSegments = 255) {
    Bytes out, data;
    std::vector<uint8_t> lacing;
    uint32_t sequence = 0;
    const auto flush = [&] {
        out += oggPage(serial, sequence, sequence == 0 ? 0x02 : 0x00, lacing, data);
        ++sequence;
        lacing.clear();
        data.clear();
    };
    for (const Bytes& packet : packets) {
        for (size_t offset = 0;; offset += 255) {
            const size_t length = std::min<size_t>(255, packet.size() - offset);
            lacing.push_back(static_cast<uint8_t>(length));
            data += packet.substr(offset, length);
            if (lacing.size() == maxSegments)
                flush();
            if (length < 255)
                break;
        }
        if (sequence == 0 && !lacing.empty())
            flush();
    }
    if (!lacing.empty())
        flush();
    return out;
}

inline Bytes vorbisIdentification() {
    return Bytes("\x01vorbis", 7) + le32(0) + Bytes(1, 2) + le32(44100) + Bytes(12, '\0') +
           Bytes(1, '\xB8') + Bytes(1, 1);
}
inline Bytes vorbisCommentPacket(std::string_view vendor, const std::vector<Bytes>& comments,
                                 int64_t count = -1) {
    return Bytes("\x03vorbis", 7) + vorbisComments(vendor, comments, count) + Bytes(1, 1);
}
inline Bytes vorbisSetup() {
    return Bytes("\x05vorbis", 7) + Bytes(40, '\x42');
}

// Opus: identification header, then the comments after "OpusTags".
inline Bytes oggOpusFile(const std::vector<Bytes>& comments, uint32_t serial = 0x0805) {
    return oggStream(
        serial,
        {"OpusHead" + Bytes(1, 1) + Bytes(1, 2) + le16(312) + le32(48000) + le16(0) + Bytes(1, 0),
         "OpusTags" + vorbisComments("Zav2 test", comments), Bytes(200, '\x66')});
}

inline Bytes oggVorbisFile(const std::vector<Bytes>& comments, size_t maxSegments = 255,
                           uint32_t serial = 0x1234) {
    return oggStream(serial,
                     {vorbisIdentification(), vorbisCommentPacket("Zav2 test", comments),
                      vorbisSetup(), Bytes(300, '\x55')},
                     maxSegments);
}

// ---- MP4 -------------------------------------------------------------------

inline Bytes atom(std::string_view type, std::string_view content) {
    return be32(content.size() + 8) + Bytes(type) + Bytes(content);
}

inline Bytes ftyp(std::string_view brand) {
    return atom("ftyp", Bytes(brand) + be32(0) + "M4A mp42isom");
}

// A freeform item "----": mean, name, data.
inline Bytes mp4Freeform(std::string_view name, std::string_view value,
                         std::string_view mean = "com.apple.iTunes") {
    return atom("----", atom("mean", be32(0) + Bytes(mean)) + atom("name", be32(0) + Bytes(name)) +
                            atom("data", be32(1) + be32(0) + Bytes(value)));
}

inline Bytes mp4TitleMoov(std::string_view titleUtf8, std::string_view extraMoovChildren = "",
                          std::string_view extraItems = "") {
    const Bytes data = atom("data", be32(1) + be32(0) + Bytes(titleUtf8));
    const Bytes ilst = atom("ilst", atom("\xA9\x41RT", atom("data", be32(1) + be32(0) + "Artist")) +
                                        atom("\xA9nam", data) + Bytes(extraItems));
    const Bytes meta = atom("meta", be32(0) + atom("hdlr", Bytes(25, '\0')) + ilst);
    return atom("moov",
                atom("mvhd", Bytes(100, '\0')) + Bytes(extraMoovChildren) + atom("udta", meta));
}

// ---- ASF -------------------------------------------------------------------

inline const Bytes kAsfExtendedContentGuid(
    "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
inline const Bytes kAsfFilePropertiesGuid(
    "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);

inline Bytes asfObject(std::string_view guid, std::string_view body) {
    return Bytes(guid) + le64(body.size() + 24) + Bytes(body);
}

// Content Description: lengths of title, author, copyright, description,
// rating, then the strings (each given with its terminator).
inline Bytes asfContentDescription(std::string_view title, std::string_view author = "") {
    return asfObject(Bytes("\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16),
                     le16(title.size()) + le16(author.size()) + le16(0) + le16(0) + le16(0) +
                         Bytes(title) + Bytes(author));
}

// Extended Content Description: text descriptors, names and values given
// as UTF-16 without their terminators.
inline Bytes asfDescriptor(std::u16string_view name, std::u16string_view value) {
    const Bytes storedName = utf16le(name) + kNul2;
    const Bytes storedValue = utf16le(value) + kNul2;
    return le16(storedName.size()) + storedName + le16(0) + le16(storedValue.size()) + storedValue;
}

inline Bytes asfExtendedContent(
    const std::vector<std::pair<std::u16string, std::u16string>>& items) {
    Bytes body = le16(items.size());
    for (const auto& [name, value] : items)
        body += asfDescriptor(name, value);
    return asfObject(kAsfExtendedContentGuid, body);
}

inline Bytes asfFile(const std::vector<Bytes>& objects, std::string_view data = "") {
    Bytes body;
    for (const Bytes& object : objects)
        body += object;
    return Bytes("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
           le64(body.size() + 30) + le32(objects.size()) + Bytes("\x01\x02", 2) + body +
           Bytes(data);
}

// ---- RealMedia -------------------------------------------------------------

inline Bytes realAudio4(std::string_view title, uint16_t version = 4) {
    Bytes out = ".ra\xFD" + be16(version);
    out.resize(69, '\0');
    out += static_cast<char>(title.size());
    out += Bytes(title);
    out += Bytes(1, 6) + "Artist";
    return out;
}

inline Bytes realChunk(std::string_view id, std::string_view body) {
    return Bytes(id) + be32(body.size() + 10) + be16(0) + Bytes(body);
}

inline Bytes realMedia(const std::vector<Bytes>& chunks) {
    Bytes out = ".RMF" + be32(18) + be16(0) + be32(0) + be32(chunks.size() + 1);
    for (const Bytes& chunk : chunks)
        out += chunk;
    return out;
}

inline Bytes realContent(std::string_view title) {
    return realChunk("CONT",
                     be16(title.size()) + Bytes(title) + be16(6) + "Author" + be16(0) + be16(0));
}

}  // namespace zav2::build
