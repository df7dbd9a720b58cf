#pragma once
// Repaints of the editor's view at zooms that enlarge the picture: the whole drawing of the
// window (as the view drew it before it kept tiles) against the view's repaint from its tiles.
#include <string>

namespace bench {

void RegisterRepaintBenchmarks(const std::string& path);

} // namespace bench
