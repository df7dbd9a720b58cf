#pragma once
// Repaints of the editor's view at zooms that enlarge the picture: the whole drawing of the
// window (as the view drew it before it kept tiles) against the view's own repaint after a
// change of the selection (its kept image, the grab squares put back and filled, the blit) and
// after a balloon edit (the picture layer from its tiles, the balloons drawn over it).
#include <string>

namespace bench {

void RegisterRepaintBenchmarks(const std::string& path);

} // namespace bench
