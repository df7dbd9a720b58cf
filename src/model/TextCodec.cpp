#include "TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

// One iconv conversion descriptor per call: conversions are rare (file names, dialog texts,
// loading a wide-text string) and this keeps the functions free of shared state.
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

constexpr const char* kReplacementUtf8 = "\xEF\xBF\xBD";

} // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    Converter conv("UTF-8", "CP932");
    std::string out;
    if (!conv.valid()) {
        return std::string(cp932);
    }
    std::size_t pos = 0;
    while (pos < cp932.size()) {
        int err = 0;
        pos += conv.Convert(cp932.data() + pos, cp932.size() - pos, out, err);
        if (err == 0) {
            break;
        }
        // An invalid or incomplete byte sequence: show one replacement character and go on.
        out += kReplacementUtf8;
        ++pos;
    }
    return out;
}

CodecResult Utf8ToCp932(std::string_view utf8) {
    CodecResult result;
    Converter conv("CP932", "UTF-8");
    if (!conv.valid()) {
        result.unconvertible.emplace_back(utf8);
        return result;
    }
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        int err = 0;
        pos += conv.Convert(utf8.data() + pos, utf8.size() - pos, result.text, err);
        if (err == 0) {
            break;
        }
        const std::size_t len =
            std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        std::string bad(utf8.substr(pos, len));
        if (std::find(result.unconvertible.begin(), result.unconvertible.end(), bad) ==
            result.unconvertible.end()) {
            result.unconvertible.push_back(bad);
        }
        pos += len;
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
    std::string utf8;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(utf8, c);
    }
    Converter conv("CP932", "UTF-8");
    std::string out;
    if (!conv.valid()) {
        return out;
    }
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        int err = 0;
        pos += conv.Convert(utf8.data() + pos, utf8.size() - pos, out, err);
        if (err == 0) {
            break;
        }
        // What code page 932 cannot hold becomes '?', as wide text always has when narrowed.
        out.push_back('?');
        pos +=
            std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
    }
    return out;
}
