#pragma once
// The archive both file formats are written in: little-endian int32 fields and length-prefixed
// strings. A loading archive reads from bytes held in memory and never allocates more than the
// bytes present; a storing archive collects the bytes of the file to be written.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "Types.h"

class CArchiveException : public std::runtime_error {
public:
    enum ECause {
        endOfFile, // the data ended before a field was complete
        badLength, // a string length no reader accepts (64-bit length of 2^31 or more)
    };
    CArchiveException(ECause cause, const char* what) : std::runtime_error(what), m_cause(cause) {}
    ECause m_cause;
};

class CArchive {
public:
    // A loading archive over bytes; filePath (UTF-8) is the file they came from, if any.
    static CArchive ForLoading(std::span<const std::uint8_t> bytes, std::string filePath = {});
    static CArchive ForStoring(std::string filePath = {});

    bool IsLoading() const { return m_bLoading; }
    bool IsStoring() const { return !m_bLoading; }
    const std::string& GetFilePath() const { return m_strFilePath; }
    const std::vector<std::uint8_t>& GetStoredBytes() const { return m_stored; }
    std::size_t GetPosition() const { return m_nPos; }

    void WriteInt32(std::int32_t v);
    void WriteColor(COLORREF c) { WriteInt32(static_cast<std::int32_t>(c)); }
    void WriteRect(const CRect& r);
    void WritePoint(const CPoint& p);
    // One-byte, three-byte or seven-byte length prefix, then the bytes.
    void WriteString(const std::string& s);

    std::int32_t ReadInt32();
    COLORREF ReadColor() { return static_cast<COLORREF>(ReadInt32()); }
    CRect ReadRect();
    CPoint ReadPoint();
    // Accepts every prefix form, the wide-text tag included; the text ends at its first zero.
    std::string ReadString();

    // Reads or writes, following the archive's direction.
    void Exchange(std::int32_t& v);
    void Exchange(COLORREF& c);
    void Exchange(CRect& r);
    void Exchange(CPoint& p);
    void Exchange(std::string& s);

private:
    CArchive() = default;
    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    std::uint32_t ReadDword();
    std::uint64_t ReadQword();
    void Require(std::uint64_t count) const;
    std::uint64_t ReadStringLength(bool& wide);

    bool m_bLoading = true;
    std::string m_strFilePath;
    std::span<const std::uint8_t> m_source;
    std::size_t m_nPos = 0;
    std::vector<std::uint8_t> m_stored;
};
