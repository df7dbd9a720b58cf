#pragma once
// A small JSON writer that keeps members in the order they are written (the order of the fields
// in the file), with two-space indentation.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

class CJsonWriter {
public:
    explicit CJsonWriter(std::ostream& out) : m_out(out) {}

    void BeginObject(const char* key = nullptr);
    void EndObject();
    void BeginArray(const char* key = nullptr);
    void EndArray();
    void Int(const char* key, std::int64_t value);
    void Bool(const char* key, bool value);
    // value must be UTF-8; invalid sequences are written as U+FFFD.
    void String(const char* key, const std::string& value);
    // A string value written in pieces (each UTF-8 and ending between characters), so that a
    // value too large to hold converted whole is written as it is converted.
    void BeginString(const char* key);
    void StringPiece(std::string_view utf8);
    void EndString();
    // Finishes the document with a line break.
    void Finish();

private:
    void Member(const char* key);
    void Indent();

    std::ostream& m_out;
    void Close(char bracket);

    std::vector<bool> m_stack; // per open container: has it members yet
};

} // namespace cli
