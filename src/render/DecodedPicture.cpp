#include "DecodedPicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>

#include "JpegStructure.h"
#include "PictureScaling.h"

namespace render {

namespace {

constexpr int kSteps[] = {8, 4, 2, 1}; // coarsest first
constexpr int kStepCount = 4;
// A JPEG file larger than this is not read into memory (no photograph comes near it).
constexpr qint64 kMaxJpegFileBytes = qint64(512) << 20;

bool RotatesQuarter(QImageIOHandler::Transformations t) {
    return t.testFlag(QImageIOHandler::TransformationRotate90);
}

} // namespace

bool DeclaredSizeAcceptable(QSize size) {
    if (size.width() <= 0 || size.height() <= 0) {
        return false;
    }
    return qint64(size.width()) * qint64(size.height()) * 4 <= kMaxPictureBytes;
}

std::shared_ptr<CQtDecodedPicture> CQtDecodedPicture::Open(const QString& path) {
    QImageReader header(path);
    const QByteArray format = header.format();
    if (format.isEmpty()) {
        return nullptr;
    }
    // The declared size is checked before anything is decoded.
    const QSize declared = header.size();
    if (declared.isValid() && !DeclaredSizeAcceptable(declared)) {
        return nullptr;
    }
    std::shared_ptr<CQtDecodedPicture> picture(new CQtDecodedPicture);
    if (format == "jpeg") {
        if (!declared.isValid()) {
            return nullptr;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxJpegFileBytes) {
            return nullptr;
        }
        QByteArray bytes = file.readAll();
        if (bytes.size() != file.size() ||
            !JpegStreamIsComplete(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size()))) {
            return nullptr;
        }
        picture->m_bJpeg = true;
        picture->m_bytesJpeg = std::move(bytes);
        picture->m_szStored = declared;
        picture->m_szShown =
            RotatesQuarter(header.transformation()) ? declared.transposed() : declared;
        // The smallest step proves that the file decodes; drawing at a small zoom needs no more.
        int step = 1;
        for (int candidate : kSteps) {
            if (declared.width() / candidate >= 1 && declared.height() / candidate >= 1) {
                step = candidate;
                break;
            }
        }
        QImage pixels = picture->DecodeJpegStep(step);
        if (pixels.isNull()) {
            return nullptr;
        }
        picture->m_imgSteps[StepIndex(step)] = std::move(pixels);
        return picture;
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage pixels;
    if (!reader.read(&pixels)) {
        return nullptr;
    }
    pixels = ToDrawingFormat(pixels);
    if (pixels.isNull() || !DeclaredSizeAcceptable(pixels.size())) {
        return nullptr;
    }
    picture->m_nStepDecodes.fetch_add(1);
    picture->m_szShown = pixels.size();
    picture->m_szStored = declared.isValid() ? declared : pixels.size();
    picture->m_imgSteps[0] = std::move(pixels);
    return picture;
}

int CQtDecodedPicture::StepIndex(int step) {
    switch (step) {
    case 8:
        return 3;
    case 4:
        return 2;
    case 2:
        return 1;
    default:
        return 0;
    }
}

QSize CQtDecodedPicture::StepSize(int step) const {
    return {std::max(1, m_szShown.width() / step), std::max(1, m_szShown.height() / step)};
}

int CQtDecodedPicture::StepCovering(QSize size) const {
    if (!m_bJpeg) {
        return 1;
    }
    for (int step : kSteps) {
        const QSize s = StepSize(step);
        if (s.width() >= size.width() && s.height() >= size.height()) {
            return step;
        }
    }
    return 1;
}

QImage CQtDecodedPicture::DecodeJpegStep(int step) const {
    QBuffer buffer;
    buffer.setData(m_bytesJpeg);
    if (!buffer.open(QIODevice::ReadOnly)) {
        return {};
    }
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(true);
    if (step > 1) {
        // The decoder scales by exactly 1/2, 1/4 or 1/8 inside the inverse transform when asked
        // for the rounded-down size; any size between those steps costs a full decode.
        reader.setScaledSize(
            QSize(std::max(1, m_szStored.width() / step), std::max(1, m_szStored.height() / step)));
    }
    QImage pixels;
    if (!reader.read(&pixels)) {
        return {};
    }
    m_nStepDecodes.fetch_add(1);
    return ToDrawingFormat(pixels);
}

QImage CQtDecodedPicture::PixelsCovering(QSize size) const {
    const int wanted = StepCovering(size);
    auto coarsestHeld = [&]() -> QImage {
        // Any held step at least as fine as the one wanted covers the size too.
        for (int index = StepIndex(wanted); index >= 0; --index) {
            if (!m_imgSteps[index].isNull()) {
                return m_imgSteps[index];
            }
        }
        return {};
    };
    {
        std::lock_guard lock(m_mutex);
        QImage held = coarsestHeld();
        if (!held.isNull()) {
            return held;
        }
    }
    std::lock_guard decodeLock(m_decodeMutex);
    {
        std::lock_guard lock(m_mutex);
        QImage held = coarsestHeld();
        if (!held.isNull()) {
            return held; // decoded by another thread meanwhile
        }
    }
    QImage pixels = m_bJpeg ? DecodeJpegStep(wanted) : QImage();
    std::lock_guard lock(m_mutex);
    if (!pixels.isNull()) {
        m_imgSteps[StepIndex(wanted)] = pixels;
        return pixels;
    }
    // Decoding a larger step failed (memory): draw from the best step held.
    for (const QImage& held : m_imgSteps) {
        if (!held.isNull()) {
            return held;
        }
    }
    return {};
}

QImage CQtDecodedPicture::AreaAveraged(QSize size) const {
    if (size.isEmpty() || size.width() > m_szShown.width() || size.height() > m_szShown.height()) {
        return {};
    }
    if (size == m_szShown) {
        return PixelsCovering(size);
    }
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_lstScaled.begin(); it != m_lstScaled.end(); ++it) {
            if (it->size() == size) {
                m_lstScaled.splice(m_lstScaled.begin(), m_lstScaled, it);
                return m_lstScaled.front();
            }
        }
    }
    const QImage source = PixelsCovering(size);
    if (source.isNull()) {
        return {};
    }
    QImage scaled = AreaAverageScaled(source, size);
    if (scaled.isNull()) {
        return {};
    }
    std::lock_guard lock(m_mutex);
    const bool known = std::any_of(m_lstScaled.begin(), m_lstScaled.end(),
                                   [&](const QImage& image) { return image.size() == size; });
    if (!known) {
        m_lstScaled.push_front(scaled);
        while (static_cast<int>(m_lstScaled.size()) > kScaledSizesKept) {
            m_lstScaled.pop_back();
        }
    }
    return scaled;
}

unsigned CQtDecodedPicture::DecodedSteps() const {
    std::lock_guard lock(m_mutex);
    unsigned bits = 0;
    for (int index = 0; index < kStepCount; ++index) {
        if (!m_imgSteps[index].isNull()) {
            bits |= 1u << index;
        }
    }
    return bits;
}

qint64 CQtDecodedPicture::MemoryBytes() const {
    std::lock_guard lock(m_mutex);
    qint64 bytes = m_bytesJpeg.size();
    for (const QImage& image : m_imgSteps) {
        bytes += image.sizeInBytes();
    }
    for (const QImage& image : m_lstScaled) {
        bytes += image.sizeInBytes();
    }
    return bytes;
}

} // namespace render
