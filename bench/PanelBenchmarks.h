#pragma once
// The measured paths: a full djpeg decode (the floor), Qt's decodes, the first painted frame,
// repaints, and an undo across a picture change.
#include <QImage>
#include <QRect>
#include <string>

namespace bench {

// Registers every benchmark on the JPEG at path; copyPath is the same picture under another name
// (the second picture of the undo benchmark).
void RegisterPanelBenchmarks(const std::string& path, const std::string& copyPath);

// The counter in which the djpeg benchmark reports its child's processor time per decode.
constexpr const char* kChildCpuCounter = "child_cpu_ms";

// The panel fitted to 1920 x 1080: its zoom, and the picture's painted rectangle there.
constexpr int kFitZoom = 270;
constexpr int kFitDx = 150;

// Paints the picture panel once at zoom 100 (picture 300 px wide) and fitted to 1920 x 1080,
// returning the two canvases and where the picture lies on each.
void PaintForQuality(const std::string& path, QImage& zoom100, QRect& part100, QImage& fit,
                     QRect& partFit);

} // namespace bench
