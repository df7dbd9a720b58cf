#include "Archive.h"

#include "TextCodec.h"

namespace {
constexpr std::uint8_t kByteEscape = 0xFF;
constexpr std::uint16_t kWordEscape = 0xFFFF;
constexpr std::uint16_t kWideTag = 0xFFFE;
constexpr std::uint32_t kDwordEscape = 0xFFFFFFFF;
constexpr std::uint64_t kMaxLength64 = 0x80000000ULL; // 64-bit lengths must stay below 2^31
} // namespace

CArchive CArchive::ForLoading(std::span<const std::uint8_t> bytes, std::string filePath) {
    CArchive ar;
    ar.m_bLoading = true;
    ar.m_source = bytes;
    ar.m_strFilePath = std::move(filePath);
    return ar;
}

CArchive CArchive::ForStoring(std::string filePath) {
    CArchive ar;
    ar.m_bLoading = false;
    ar.m_strFilePath = std::move(filePath);
    return ar;
}

void CArchive::WriteInt32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) {
        m_stored.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    }
}

void CArchive::WriteRect(const CRect& r) {
    WriteInt32(r.left);
    WriteInt32(r.top);
    WriteInt32(r.right);
    WriteInt32(r.bottom);
}

void CArchive::WritePoint(const CPoint& p) {
    WriteInt32(p.x);
    WriteInt32(p.y);
}

void CArchive::WriteString(const std::string& s) {
    const std::uint64_t n = s.size();
    if (n < kByteEscape) {
        m_stored.push_back(static_cast<std::uint8_t>(n));
    } else if (n < kWideTag) {
        m_stored.push_back(kByteEscape);
        m_stored.push_back(static_cast<std::uint8_t>(n));
        m_stored.push_back(static_cast<std::uint8_t>(n >> 8));
    } else {
        // Texts of 4 GiB or more cannot be written in this format; no editor text comes near.
        const auto n32 = static_cast<std::uint32_t>(n < kDwordEscape ? n : kDwordEscape - 1);
        m_stored.push_back(kByteEscape);
        m_stored.push_back(kByteEscape);
        m_stored.push_back(kByteEscape);
        for (int i = 0; i < 4; ++i) {
            m_stored.push_back(static_cast<std::uint8_t>(n32 >> (8 * i)));
        }
        m_stored.insert(m_stored.end(), s.begin(), s.begin() + n32);
        return;
    }
    m_stored.insert(m_stored.end(), s.begin(), s.end());
}

void CArchive::Require(std::uint64_t count) const {
    if (count > m_source.size() - m_nPos) {
        throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
    }
}

std::uint8_t CArchive::ReadByte() {
    Require(1);
    return m_source[m_nPos++];
}

std::uint16_t CArchive::ReadWord() {
    Require(2);
    const auto v = static_cast<std::uint16_t>(m_source[m_nPos] | (m_source[m_nPos + 1] << 8));
    m_nPos += 2;
    return v;
}

std::uint32_t CArchive::ReadDword() {
    Require(4);
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(m_source[m_nPos + i]) << (8 * i);
    }
    m_nPos += 4;
    return v;
}

std::uint64_t CArchive::ReadQword() {
    const std::uint64_t lo = ReadDword();
    const std::uint64_t hi = ReadDword();
    return lo | (hi << 32);
}

std::int32_t CArchive::ReadInt32() {
    return static_cast<std::int32_t>(ReadDword());
}

CRect CArchive::ReadRect() {
    CRect r;
    r.left = ReadInt32();
    r.top = ReadInt32();
    r.right = ReadInt32();
    r.bottom = ReadInt32();
    return r;
}

CPoint CArchive::ReadPoint() {
    CPoint p;
    p.x = ReadInt32();
    p.y = ReadInt32();
    return p;
}

std::uint64_t CArchive::ReadStringLength(bool& wide) {
    wide = false;
    std::uint8_t b = ReadByte();
    if (b < kByteEscape) {
        return b;
    }
    std::uint16_t w = ReadWord();
    if (w == kWideTag) {
        // The wide-text tag: the length that follows counts UTF-16 code units.
        wide = true;
        b = ReadByte();
        if (b < kByteEscape) {
            return b;
        }
        w = ReadWord();
    }
    if (w < kWordEscape) {
        return w;
    }
    const std::uint32_t d = ReadDword();
    if (d < kDwordEscape) {
        return d;
    }
    const std::uint64_t q = ReadQword();
    if (q >= kMaxLength64) {
        throw CArchiveException(CArchiveException::badLength, "string length of 2^31 or more");
    }
    return q;
}

std::string CArchive::ReadString() {
    bool wide = false;
    const std::uint64_t length = ReadStringLength(wide);
    if (!wide) {
        Require(length);
        const auto* begin = reinterpret_cast<const char*>(m_source.data() + m_nPos);
        std::string text(begin, static_cast<std::size_t>(length));
        m_nPos += static_cast<std::size_t>(length);
        if (const auto zero = text.find('\0'); zero != std::string::npos) {
            text.resize(zero);
        }
        return text;
    }
    if (length > (m_source.size() - m_nPos) / 2) {
        throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
    }
    std::vector<char16_t> units;
    units.reserve(static_cast<std::size_t>(length));
    for (std::uint64_t i = 0; i < length; ++i) {
        const char16_t unit = ReadWord();
        if (unit == 0) {
            // The text ends here; the rest of its units are still part of the field.
            m_nPos += static_cast<std::size_t>((length - i - 1) * 2);
            break;
        }
        units.push_back(unit);
    }
    return Utf16ToCp932Lossy(units);
}

void CArchive::Exchange(std::int32_t& v) {
    if (m_bLoading) {
        v = ReadInt32();
    } else {
        WriteInt32(v);
    }
}

void CArchive::Exchange(COLORREF& c) {
    if (m_bLoading) {
        c = ReadColor();
    } else {
        WriteColor(c);
    }
}

void CArchive::Exchange(CRect& r) {
    if (m_bLoading) {
        r = ReadRect();
    } else {
        WriteRect(r);
    }
}

void CArchive::Exchange(CPoint& p) {
    if (m_bLoading) {
        p = ReadPoint();
    } else {
        WritePoint(p);
    }
}

void CArchive::Exchange(std::string& s) {
    if (m_bLoading) {
        s = ReadString();
    } else {
        WriteString(s);
    }
}
