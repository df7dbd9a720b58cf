#include "TextCodec.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <mutex>

namespace {

// One iconv conversion descriptor, used to build the conversion tables below.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns the number of input bytes consumed, and sets err to
    // the errno of the stop (0 when all input was converted).
    std::size_t Convert(const char* in, std::size_t inLen, std::string& out, int& err) {
        char buffer[256];
        char* inPtr = const_cast<char*>(in);
        std::size_t inLeft = inLen;
        err = 0;
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t r = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (r == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) {
                    continue;
                }
                err = errno;
                break;
            }
        }
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        return inLen - inLeft;
    }

private:
    iconv_t m_cd;
};

// Length of the UTF-8 sequence starting with this byte (1 for a stray byte).
std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead <= 0xEF ? 3 : 1;
    }
    if (lead >= 0xC2) {
        return 2;
    }
    return 1;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes the well-formed UTF-8 character at pos and moves pos past it. A malformed sequence
// (bad continuation, overlong form, surrogate, beyond U+10FFFF, cut short) gives kNoCharacter
// and moves pos past as many bytes as its first byte announces.
char32_t NextUtf8(std::string_view s, std::size_t& pos);

constexpr const char* kReplacementUtf8 = "\xEF\xBF\xBD";

constexpr std::uint16_t kNoBytes = 0xFFFF;    // no code page 932 character (0xFFFF is none)
constexpr char32_t kNoCharacter = 0xFFFFFFFF; // no character for these bytes

// Code page 932 both ways, built from iconv one character at a time. A whole text is then
// converted by table look-up, in time linear in its length however much of it cannot be
// converted (iconv restarted after each unconvertible character costs far more than linear).
// The two directions are built separately, each the first time it is needed: reading a panel
// only decodes, and the encoding table (every character of the basic plane) is the larger.
// The decoding table's pairs are built a lead byte at a time, the first time a text holds that
// lead byte: a name of plain letters builds none, a line of Japanese a handful of the 60 rows.
struct SCp932Decoding {
    // The character of each single byte.
    std::vector<char32_t> single = std::vector<char32_t>(0x100, kNoCharacter);
    bool bValid = false;

    SCp932Decoding() : m_decode("UTF-8", "CP932") {
        if (!m_decode.valid()) {
            return;
        }
        bValid = true;
        std::string out;
        int err = 0;
        for (unsigned b = 0; b < 0x100; ++b) {
            const char byte = static_cast<char>(b);
            out.clear();
            if (m_decode.Convert(&byte, 1, out, err) == 1 && err == 0) {
                single[b] = DecodeOneUtf8(out);
            } else {
                m_bLead[b] = err == EINVAL; // incomplete: the first byte of a pair
            }
        }
    }

    // The character of the pair lead, trail; kNoCharacter when it is none.
    char32_t Pair(unsigned lead, unsigned trail) const {
        std::call_once(m_rowBuilt[lead], [&] { BuildRow(lead); });
        const std::vector<char32_t>& row = m_rows[lead];
        return row.empty() ? kNoCharacter : row[trail];
    }

    // The one character a conversion produced, kNoCharacter when it produced something else.
    static char32_t DecodeOneUtf8(const std::string& utf8) {
        std::size_t pos = 0;
        const char32_t c = NextUtf8(utf8, pos);
        return pos == utf8.size() ? c : kNoCharacter;
    }

    static const SCp932Decoding& Get() {
        static const SCp932Decoding tables;
        return tables;
    }

private:
    void BuildRow(unsigned lead) const {
        if (!m_bLead[lead]) {
            return; // not a lead byte: no pair starts with it
        }
        std::vector<char32_t> row(0x100, kNoCharacter);
        std::string out;
        int err = 0;
        std::lock_guard lock(m_convertMutex);
        for (unsigned t = 0; t < 0x100; ++t) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(t)};
            out.clear();
            if (m_decode.Convert(bytes, 2, out, err) == 2 && err == 0) {
                row[t] = DecodeOneUtf8(out);
            }
        }
        m_rows[lead] = std::move(row);
    }

    mutable Converter m_decode; // used under m_convertMutex once constructed
    mutable std::mutex m_convertMutex;
    std::array<bool, 0x100> m_bLead{};
    mutable std::array<std::once_flag, 0x100> m_rowBuilt;
    // The characters of each lead byte's pairs by trail byte; empty until built, and for a
    // byte that leads no pair.
    mutable std::array<std::vector<char32_t>, 0x100> m_rows;
};

struct SCp932Encoding {
    // Bytes of each character of the basic plane: one byte below 0x100, else lead * 256 + trail.
    std::vector<std::uint16_t> fromUnicode = std::vector<std::uint16_t>(0x10000, kNoBytes);
    bool bValid = false;

    SCp932Encoding() {
        Converter encode("CP932", "UTF-8");
        if (!encode.valid()) {
            return;
        }
        bValid = true;
        std::string in;
        std::string out;
        int err = 0;
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) {
                continue;
            }
            in.clear();
            out.clear();
            AppendUtf8(in, c);
            if (encode.Convert(in.data(), in.size(), out, err) == in.size() && err == 0) {
                if (out.size() == 1) {
                    fromUnicode[c] = static_cast<unsigned char>(out[0]);
                } else if (out.size() == 2) {
                    fromUnicode[c] =
                        static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 |
                                                   static_cast<unsigned char>(out[1]));
                }
            }
        }
    }

    static const SCp932Encoding& Get() {
        static const SCp932Encoding tables;
        return tables;
    }
};

// Appends a character's code page 932 bytes; false (nothing appended) when it has none.
bool AppendCp932(std::string& out, char32_t c, const SCp932Encoding& tables) {
    if (c >= 0x10000) {
        return false;
    }
    const std::uint16_t bytes = tables.fromUnicode[c];
    if (bytes == kNoBytes) {
        return false;
    }
    if (bytes >= 0x100) {
        out.push_back(static_cast<char>(bytes >> 8));
    }
    out.push_back(static_cast<char>(bytes & 0xFF));
    return true;
}

char32_t NextUtf8(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    const std::size_t len = std::min(Utf8SequenceLength(lead), s.size() - pos);
    const std::size_t start = pos;
    pos += len;
    if (lead < 0x80) {
        return lead;
    }
    if (len != Utf8SequenceLength(lead) || len == 1) {
        return kNoCharacter;
    }
    char32_t c = lead & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
    for (std::size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[start + i]);
        if ((b & 0xC0) != 0x80) {
            return kNoCharacter;
        }
        c = c << 6 | (b & 0x3F);
    }
    const char32_t least = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return kNoCharacter;
    }
    return c;
}

} // namespace

void Cp932ToUtf8Pieces(std::string_view cp932, const std::function<void(std::string_view)>& sink) {
    constexpr std::size_t kPieceBytes = 65536;
    const SCp932Decoding& tables = SCp932Decoding::Get();
    if (!tables.bValid) {
        sink(cp932);
        return;
    }
    std::string out;
    out.reserve(std::min(cp932.size() + cp932.size() / 2, kPieceBytes + 8));
    std::size_t pos = 0;
    while (pos < cp932.size()) {
        const auto b = static_cast<unsigned char>(cp932[pos]);
        char32_t c = tables.single[b];
        std::size_t len = 1;
        if (c == kNoCharacter && pos + 1 < cp932.size()) {
            c = tables.Pair(b, static_cast<unsigned char>(cp932[pos + 1]));
            len = 2;
        }
        if (c == kNoCharacter) {
            // An invalid or incomplete byte sequence: one replacement character, and go on
            // from the next byte.
            out += kReplacementUtf8;
            len = 1;
        } else {
            AppendUtf8(out, c);
        }
        pos += len;
        if (out.size() >= kPieceBytes) {
            sink(out);
            out.clear();
        }
    }
    if (!out.empty()) {
        sink(out);
    }
}

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    Cp932ToUtf8Pieces(cp932, [&](std::string_view piece) {
        if (out.empty()) {
            out.reserve(cp932.size() + cp932.size() / 2);
        }
        out += piece;
    });
    return out;
}

CodecResult Utf8ToCp932(std::string_view utf8) {
    CodecResult result;
    const SCp932Encoding& tables = SCp932Encoding::Get();
    if (!tables.bValid) {
        result.unconvertible.emplace_back(utf8);
        return result;
    }
    result.text.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const char32_t c = NextUtf8(utf8, pos);
        if (c != kNoCharacter && AppendCp932(result.text, c, tables)) {
            continue;
        }
        std::string bad(utf8.substr(start, pos - start));
        if (std::find(result.unconvertible.begin(), result.unconvertible.end(), bad) ==
            result.unconvertible.end()) {
            result.unconvertible.push_back(std::move(bad));
        }
    }
    return result;
}

std::optional<std::string> Utf8ToCp932Exact(std::string_view utf8) {
    CodecResult r = Utf8ToCp932(utf8);
    if (!r.ok()) {
        return std::nullopt;
    }
    return std::move(r.text);
}

std::string Utf16ToCp932Lossy(const std::vector<char16_t>& units) {
    const SCp932Encoding& tables = SCp932Encoding::Get();
    std::string out;
    if (!tables.bValid) {
        return out;
    }
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            ++i; // a pair: a character beyond the basic plane, which code page 932 never holds
            c = kNoCharacter;
        }
        // What code page 932 cannot hold becomes '?', as wide text always has when narrowed.
        if (!AppendCp932(out, c, tables)) {
            out.push_back('?');
        }
    }
    return out;
}
