#pragma once
// "--info FILE": a JSON description of a panel file (every field of the header, the picture
// layer and the ten slots) or of a show file (header, count, reserved, names, folder).
#include <ostream>
#include <string>

namespace cli {

// Writes the description to out and returns 0, or writes a one-line error to err and returns 1.
// A file ending in ".vls" (any case) is read as a show, any other as a panel.
int RunInfo(const std::string& path, std::ostream& out, std::ostream& err);

} // namespace cli
