#pragma once
// The kind of output a path asks for, told by its extension (case does not matter).
#include <initializer_list>
#include <string>
#include <utility>

namespace exporting {

// The extension of the path's last component, lower-cased and without the dot; empty when it
// has none.
std::string LowerExtension(const std::string& path);

// The format whose extension the path ends in, `unknown` when none of the table's does.
template <class Format>
Format FormatByExtension(const std::string& path,
                         std::initializer_list<std::pair<const char*, Format>> formats,
                         Format unknown) {
    const std::string ext = LowerExtension(path);
    for (const auto& [extension, format] : formats) {
        if (ext == extension) {
            return format;
        }
    }
    return unknown;
}

} // namespace exporting
