#pragma once
// Conversion between code page 932 (the bytes stored in files) and UTF-8 / UTF-16 (what the
// toolkit shows and edits), through glibc iconv "CP932".
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CodecResult {
    std::string text;
    // Characters that could not be converted, as UTF-8, in order of appearance (each once).
    std::vector<std::string> unconvertible;
    bool ok() const { return unconvertible.empty(); }
};

// Code page 932 to UTF-8. Bytes that are not valid code page 932 become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);
// The same in pieces of about 64 KiB, each ending between characters, handed to sink in order:
// for texts too large to hold converted whole.
void Cp932ToUtf8Pieces(std::string_view cp932, const std::function<void(std::string_view)>& sink);
// UTF-8 to code page 932; characters code page 932 cannot hold are reported and left out.
CodecResult Utf8ToCp932(std::string_view utf8);
// UTF-16LE code units to code page 932, each unconvertible character becoming '?'.
std::string Utf16ToCp932Lossy(const std::vector<char16_t>& units);
// Exact conversion or nothing: used for file names, which must round-trip.
std::optional<std::string> Utf8ToCp932Exact(std::string_view utf8);
