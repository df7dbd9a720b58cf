#pragma once
// The benchmark's picture: a photograph-like JPEG made here, and the exact area average the
// painted picture's quality is measured against.
#include <QImage>
#include <QRect>
#include <QString>

namespace bench {

// Writes a w x h photograph-like JPEG (smooth light, shapes and fine grain) to path.
bool MakePhotoJpeg(const QString& path, int w, int h);

// The exact area average of source at size: each target pixel the mean over its footprint,
// fractional source pixels weighted by the part covered (double precision).
QImage ExactAreaAverage(const QImage& source, QSize size);

// Peak signal-to-noise ratio in dB of part of painted against reference (same size as part).
double Psnr(const QImage& painted, const QRect& part, const QImage& reference);

} // namespace bench
