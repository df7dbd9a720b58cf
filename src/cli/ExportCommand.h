#pragma once
// "--export-png OUT.png FILE.vlm [--zoom N]": the panel as the editor shows it with nothing
// selected, at a zoom (default 100), written as a PNG.
#include <ostream>
#include <string>

namespace cli {

// Returns 0 when the PNG was written, else 1 after a one-line error on err.
int RunExportPng(const std::string& outPath, const std::string& panelPath, int zoom,
                 std::ostream& err);

} // namespace cli
