#include "JsonWriter.h"

#include <QString>
#include <algorithm>
#include <cstdio>

namespace cli {

namespace {

// Appends utf8 escaped, without quotes.
void AppendEscaped(std::string& out, std::string_view utf8) {
    // Round trip through UTF-16 replaces invalid sequences (file names on disk may hold any
    // bytes) so that the output is always valid UTF-8.
    const QByteArray valid = QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).toUtf8();
    out.reserve(out.size() + static_cast<std::size_t>(valid.size()));
    for (const char ch : valid) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
}

std::string Escaped(const std::string& utf8) {
    std::string out = "\"";
    AppendEscaped(out, utf8);
    out += '"';
    return out;
}

} // namespace

void CJsonWriter::Indent() {
    for (std::size_t i = 0; i < m_stack.size(); ++i) {
        m_out << "  ";
    }
}

void CJsonWriter::Member(const char* key) {
    if (m_stack.empty()) {
        return;
    }
    if (m_stack.back()) {
        m_out << ',';
    }
    m_stack.back() = true;
    m_out << '\n';
    Indent();
    if (key != nullptr) {
        m_out << Escaped(key) << ": ";
    }
}

void CJsonWriter::BeginObject(const char* key) {
    Member(key);
    m_out << '{';
    m_stack.push_back(false);
}

void CJsonWriter::EndObject() {
    Close('}');
}

void CJsonWriter::Close(char bracket) {
    const bool any = m_stack.back();
    m_stack.pop_back();
    if (any) {
        m_out << '\n';
        Indent();
    }
    m_out << bracket;
}

void CJsonWriter::BeginArray(const char* key) {
    Member(key);
    m_out << '[';
    m_stack.push_back(false);
}

void CJsonWriter::EndArray() {
    Close(']');
}

void CJsonWriter::Int(const char* key, std::int64_t value) {
    Member(key);
    m_out << value;
}

void CJsonWriter::Bool(const char* key, bool value) {
    Member(key);
    m_out << (value ? "true" : "false");
}

void CJsonWriter::String(const char* key, const std::string& value) {
    // In pieces, so that a long text is never held escaped whole.
    constexpr std::size_t kPieceBytes = 65536;
    BeginString(key);
    for (std::size_t pos = 0; pos < value.size();) {
        std::size_t end = std::min(value.size(), pos + kPieceBytes);
        while (end < value.size() && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80 &&
               end - pos < kPieceBytes + 3) {
            ++end; // not inside a character
        }
        StringPiece(std::string_view(value).substr(pos, end - pos));
        pos = end;
    }
    EndString();
}

void CJsonWriter::BeginString(const char* key) {
    Member(key);
    m_out << '"';
}

void CJsonWriter::StringPiece(std::string_view utf8) {
    std::string escaped;
    AppendEscaped(escaped, utf8);
    m_out << escaped;
}

void CJsonWriter::EndString() {
    m_out << '"';
}

void CJsonWriter::Finish() {
    m_out << '\n';
}

} // namespace cli
