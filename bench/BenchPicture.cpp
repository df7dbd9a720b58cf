#include "BenchPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace bench {

namespace {

// A small deterministic hash noise in [0, 1).
double Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

// Smoothly interpolated value noise with a cell size.
double ValueNoise(double x, double y, int cell, std::uint32_t seed) {
    const double fx = x / cell, fy = y / cell;
    const auto ix = static_cast<std::uint32_t>(fx), iy = static_cast<std::uint32_t>(fy);
    const double tx = fx - ix, ty = fy - iy;
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    const double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

// Per-axis weights of the exact area average: for each target index, the source indices it
// covers and how much of each.
struct SWeights {
    std::vector<int> first;
    std::vector<std::vector<double>> weights;
};

SWeights AxisWeights(int sourceLength, int targetLength) {
    SWeights w;
    const double scale = double(sourceLength) / targetLength;
    for (int t = 0; t < targetLength; ++t) {
        const double from = t * scale, to = (t + 1) * scale;
        const int first = static_cast<int>(std::floor(from));
        std::vector<double> weights;
        for (int s = first; s < to && s < sourceLength; ++s) {
            weights.push_back((std::min<double>(s + 1, to) - std::max<double>(s, from)) / scale);
        }
        w.first.push_back(first);
        w.weights.push_back(std::move(weights));
    }
    return w;
}

} // namespace

bool MakePhotoJpeg(const QString& path, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double light = 0.35 + 0.4 * double(x) / w + 0.2 * std::sin(y * 0.0015);
            const double shapes = ValueNoise(x, y, 400, 1) * 0.5 + ValueNoise(x, y, 90, 2) * 0.3;
            const double detail = ValueNoise(x, y, 12, 3) * 0.15 + ValueNoise(x, y, 3, 4) * 0.08;
            const double grain = (Hash(x, y, 5) - 0.5) * 0.06;
            const double v = light * 0.5 + shapes * 0.5 + detail + grain - 0.1;
            const double hue = ValueNoise(x, y, 700, 6);
            const auto channel = [](double c) { return std::clamp(int(c * 255.0), 0, 255); };
            line[x] = qRgb(channel(v * (0.8 + 0.4 * hue)), channel(v * 0.95),
                           channel(v * (1.2 - 0.4 * hue)));
        }
    }
    return image.save(path, "JPEG", 90);
}

QImage ExactAreaAverage(const QImage& sourceAny, QSize size) {
    const QImage source = sourceAny.convertToFormat(QImage::Format_RGB32);
    const SWeights wx = AxisWeights(source.width(), size.width());
    const SWeights wy = AxisWeights(source.height(), size.height());
    QImage out(size, QImage::Format_RGB32);
    std::vector<double> rows(static_cast<std::size_t>(source.width()) * 3);
    for (int ty = 0; ty < size.height(); ++ty) {
        // Vertical pass into one row of sums, then the horizontal pass.
        std::fill(rows.begin(), rows.end(), 0.0);
        const auto& wyt = wy.weights[static_cast<std::size_t>(ty)];
        for (std::size_t k = 0; k < wyt.size(); ++k) {
            const auto* line =
                reinterpret_cast<const QRgb*>(source.constScanLine(wy.first[ty] + int(k)));
            for (int x = 0; x < source.width(); ++x) {
                rows[3 * x] += wyt[k] * qRed(line[x]);
                rows[3 * x + 1] += wyt[k] * qGreen(line[x]);
                rows[3 * x + 2] += wyt[k] * qBlue(line[x]);
            }
        }
        auto* outLine = reinterpret_cast<QRgb*>(out.scanLine(ty));
        for (int tx = 0; tx < size.width(); ++tx) {
            double r = 0, g = 0, b = 0;
            const auto& wxt = wx.weights[static_cast<std::size_t>(tx)];
            for (std::size_t k = 0; k < wxt.size(); ++k) {
                const std::size_t s = static_cast<std::size_t>(wx.first[tx]) + k;
                r += wxt[k] * rows[3 * s];
                g += wxt[k] * rows[3 * s + 1];
                b += wxt[k] * rows[3 * s + 2];
            }
            outLine[tx] = qRgb(int(std::lround(r)), int(std::lround(g)), int(std::lround(b)));
        }
    }
    return out;
}

double Psnr(const QImage& painted, const QRect& part, const QImage& reference) {
    double sum = 0;
    for (int y = 0; y < part.height(); ++y) {
        for (int x = 0; x < part.width(); ++x) {
            const QRgb a = painted.pixel(part.left() + x, part.top() + y);
            const QRgb b = reference.pixel(x, y);
            const double dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b),
                         db = qBlue(a) - qBlue(b);
            sum += dr * dr + dg * dg + db * db;
        }
    }
    const double mse = sum / (3.0 * part.width() * part.height());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

} // namespace bench
