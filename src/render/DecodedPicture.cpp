#include "DecodedPicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "BmpBandDecoder.h"
#include "BmpStructure.h"
#include "JpegScaledDecoder.h"
#include "JpegStructure.h"
#include "PictureScaling.h"
#include "PngBandDecoder.h"
#include "PngStructure.h"
#include "model/FileSystem.h"

namespace render {

namespace {

constexpr int kSteps[] = {8, 4, 2, 1}; // coarsest first
constexpr int kStepCount = 4;
// A JPEG file larger than this is not read into memory (no photograph comes near it).
constexpr qint64 kMaxJpegFileBytes = qint64(512) << 20;
// The same for a PNG, which is read whole to be checked before decoding.
constexpr qint64 kMaxPngFileBytes = qint64(512) << 20;
// What is read of a PNG to check the chunks before its image data, and where its header says
// whether it is interlaced (signature 8, chunk length and type 8, then 12 bytes of the header).
constexpr qint64 kPngHeadBytes = 64 << 10;
constexpr int kPngInterlaceByte = 28;

bool RotatesQuarter(QImageIOHandler::Transformations t) {
    return t.testFlag(QImageIOHandler::TransformationRotate90);
}

// The photo's orientation applied to pixels decoded as stored: mirrored, then turned a quarter
// clockwise, as Qt's reader does it.
QImage Oriented(QImage image, QImageIOHandler::Transformations t) {
    if (t == QImageIOHandler::TransformationNone || image.isNull()) {
        return image;
    }
    const bool mirror = t.testFlag(QImageIOHandler::TransformationMirror);
    const bool flip = t.testFlag(QImageIOHandler::TransformationFlip);
    if (mirror || flip) {
        image.mirror(mirror, flip); // in place
    }
    if (RotatesQuarter(t)) {
        image = image.transformed(QTransform().rotate(90));
    }
    return image;
}

thread_local int t_nDeferredChecks = 0;

} // namespace

CDeferredPictureCheck::CDeferredPictureCheck() {
    ++t_nDeferredChecks;
}

CDeferredPictureCheck::~CDeferredPictureCheck() {
    --t_nDeferredChecks;
}

bool CDeferredPictureCheck::Active() {
    return t_nDeferredChecks > 0;
}

bool DeclaredSizeAcceptable(QSize size) {
    if (size.width() <= 0 || size.height() <= 0) {
        return false;
    }
    return qint64(size.width()) * qint64(size.height()) * 4 <= kMaxPictureBytes;
}

qint64 DecodePeakBytes(QSize size, QImage::Format decoded) {
    const qint64 pixels = qint64(std::max(0, size.width())) * qint64(std::max(0, size.height()));
    const int bits =
        decoded == QImage::Format_Invalid ? 64 : QImage::toPixelFormat(decoded).bitsPerPixel();
    const qint64 decodedBytes = (pixels * bits + 7) / 8;
    return decodedBytes + (bits == 32 ? 0 : pixels * 4);
}

void ConvertToDrawingFormat(QImage& image) {
    if (image.isNull()) {
        return;
    }
    const QImage::Format want =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != want) {
        image.convertTo(want); // in place between formats of the same pixel size
    }
}

std::shared_ptr<CQtDecodedPicture> CQtDecodedPicture::Open(const QString& path, qint64 limitBytes,
                                                           bool checkNow) {
    struct stat st {};
    int err = 0;
    const int fd = OpenRegularFile(QFile::encodeName(path).toStdString(), st, err);
    return fd < 0 ? nullptr : OpenDescriptor(fd, limitBytes, checkNow);
}

std::shared_ptr<CQtDecodedPicture> CQtDecodedPicture::OpenDescriptor(int fd, qint64 limitBytes,
                                                                     bool checkNow) {
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    // A PNG's head is checked before the PNG library reads even its header: that library prints
    // its errors on standard error. One that is not interlaced is then decoded in bands, its
    // errors kept quiet; an interlaced one is checked whole and decoded by Qt's reader.
    QByteArray pngBytes;
    bool pngBands = false;
    if (file.peek(8).startsWith("\x89PNG")) {
        if (file.size() > kMaxPngFileBytes) {
            return nullptr;
        }
        const QByteArray head = file.peek(kPngHeadBytes);
        if (!PngHeadIsSound(reinterpret_cast<const unsigned char*>(head.constData()),
                            static_cast<std::size_t>(head.size()))) {
            return nullptr;
        }
        pngBands = head.size() > kPngInterlaceByte && head[kPngInterlaceByte] == 0;
    }
    if (!pngBands && file.peek(8).startsWith("\x89PNG")) {
        pngBytes = file.readAll();
        if (pngBytes.size() != file.size() ||
            !PngStreamIsSound(reinterpret_cast<const unsigned char*>(pngBytes.constData()),
                              static_cast<std::size_t>(pngBytes.size())) ||
            !file.seek(0)) {
            return nullptr;
        }
    }
    QByteArray format;
    QSize declared;
    QImage::Format decodedFormat = QImage::Format_Invalid;
    QImageIOHandler::Transformations transformation;
    {
        QImageReader header(&file);
        format = header.format();
        declared = header.size();
        decodedFormat = header.imageFormat();
        transformation = header.transformation();
    }
    // The declared size is checked before anything is decoded.
    if (format.isEmpty() || !declared.isValid() || declared.isEmpty() || !file.seek(0)) {
        return nullptr;
    }
    std::shared_ptr<CQtDecodedPicture> picture(new CQtDecodedPicture);
    if (format == "jpeg") {
        if (file.size() > kMaxJpegFileBytes) {
            return nullptr;
        }
        QByteArray bytes = file.readAll();
        SJpegLayout layout;
        if (bytes.size() != file.size() ||
            !JpegStreamIsComplete(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size()), &layout) ||
            !JpegDataCoversDeclaredSize(layout) ||
            (layout.bArithmetic && !DeclaredSizeAcceptable(declared))) {
            return nullptr;
        }
        picture->m_bJpeg = true;
        picture->m_bytesJpeg = std::move(bytes);
        picture->m_nCoefficientBytes = JpegCoefficientBytes(layout);
        picture->m_bGreyJpeg = decodedFormat == QImage::Format_Grayscale8;
        picture->m_szStored = declared;
        picture->m_szShown = RotatesQuarter(transformation) ? declared.transposed() : declared;
        picture->m_nTransformation = static_cast<int>(transformation);
        // The finest step whose decode stays within the limit; none at all is a refusal.
        picture->m_nFinestStep = 0;
        for (int step : {1, 2, 4, 8}) {
            if (picture->JpegStepPeakBytes(step) <= limitBytes) {
                picture->m_nFinestStep = step;
                break;
            }
        }
        if (picture->m_nFinestStep == 0) {
            return nullptr;
        }
        if (!checkNow) {
            picture->m_nCheck.store(Unchecked);
            return picture;
        }
        // The smallest step proves that the file decodes; drawing at a small zoom needs no more.
        int step = 1;
        for (int candidate : kSteps) {
            if (declared.width() / candidate >= 1 && declared.height() / candidate >= 1) {
                step = candidate;
                break;
            }
        }
        QImage pixels = picture->DecodeJpegStep(std::max(step, picture->m_nFinestStep));
        if (pixels.isNull()) {
            return nullptr;
        }
        picture->m_imgSteps[StepIndex(std::max(step, picture->m_nFinestStep))] = std::move(pixels);
        return picture;
    }
    if (!DeclaredSizeAcceptable(declared) ||
        DecodePeakBytes(declared, decodedFormat) + pngBytes.size() > limitBytes) {
        return nullptr;
    }
    if (format == "bmp") {
        const QByteArray head = file.peek(kBmpHeaderBytes);
        if (!BmpDataIsComplete(reinterpret_cast<const unsigned char*>(head.constData()),
                               static_cast<std::size_t>(head.size()), file.size())) {
            return nullptr;
        }
    }
    // PNGs that are not interlaced and uncompressed 24-bit BMPs are decoded in bands, reduced
    // to each step as their rows arrive: the picture at its own size is only ever held when it
    // is drawn at that size.
    const EBands bands = pngBands && format == "png" ? EBands::Png
                         : format == "bmp" && BmpDecodesInBands(file.peek(kBmpHeaderBytes))
                             ? EBands::Bmp
                             : EBands::None;
    if (bands != EBands::None && transformation == QImageIOHandler::TransformationNone) {
        picture->m_eBands = bands;
        picture->m_szStored = picture->m_szShown = declared;
        picture->m_fdSource = ::dup(file.handle());
        if (picture->m_fdSource < 0) {
            return nullptr;
        }
        if (!checkNow) {
            picture->m_nCheck.store(Unchecked);
            return picture;
        }
        const int step = picture->StepCovering(QSize(1, 1));
        QImage pixels = picture->DecodeBandStep(step);
        if (pixels.isNull()) {
            return nullptr;
        }
        picture->m_imgSteps[StepIndex(step)] = std::move(pixels);
        return picture;
    }
    if (format == "png" && pngBytes.isEmpty()) {
        // Left to Qt's reader after all: checked whole first, as an interlaced one is.
        pngBytes = file.readAll();
        if (pngBytes.size() != file.size() ||
            !PngStreamIsSound(reinterpret_cast<const unsigned char*>(pngBytes.constData()),
                              static_cast<std::size_t>(pngBytes.size())) ||
            DecodePeakBytes(declared, decodedFormat) + pngBytes.size() > limitBytes) {
            return nullptr;
        }
    }
    QBuffer pngBuffer(&pngBytes); // a PNG is decoded from the bytes already checked
    QIODevice* device = &file;
    if (!pngBytes.isEmpty() && pngBuffer.open(QIODevice::ReadOnly)) {
        device = &pngBuffer;
    }
    QImageReader reader(device, format);
    reader.setAutoTransform(true);
    QImage pixels;
    if (!reader.read(&pixels)) {
        return nullptr;
    }
    ConvertToDrawingFormat(pixels);
    // A header may declare less than the decoder then delivers (a GIF's logical screen, say):
    // the limit holds for the pixels themselves too.
    if (pixels.isNull() || !DeclaredSizeAcceptable(pixels.size()) ||
        qint64(pixels.width()) * pixels.height() * 4 > limitBytes) {
        return nullptr;
    }
    picture->m_nStepDecodes.fetch_add(1);
    picture->m_szShown = pixels.size();
    picture->m_szStored = declared;
    picture->m_imgSteps[0] = std::move(pixels);
    return picture;
}

CQtDecodedPicture::~CQtDecodedPicture() {
    if (m_fdSource >= 0) {
        ::close(m_fdSource);
    }
}

QImage CQtDecodedPicture::DecodeBandStep(int step) const {
    // Read again from the start of the file kept open; one decode at a time per picture.
    if (::lseek(m_fdSource, 0, SEEK_SET) != 0) {
        return {};
    }
    QFile file;
    if (!file.open(m_fdSource, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        return {};
    }
    QImage pixels;
    const bool decoded = m_eBands == EBands::Png
                             ? DecodePngReduced(file, step, pixels) == EPngBands::Decoded
                             : DecodeBmpReduced(file, step, pixels) == EBmpBands::Decoded;
    if (!decoded || pixels.size() != StepSize(step)) {
        return {};
    }
    m_nStepDecodes.fetch_add(1);
    return pixels;
}

qint64 CQtDecodedPicture::JpegStepPeakBytes(int step) const {
    const QSize size(std::max(1, m_szStored.width() / step),
                     std::max(1, m_szStored.height() / step));
    const qint64 pixels = qint64(size.width()) * size.height();
    // Colour decodes straight to 32 bits; grey to 8 bits, then widened into a copy.
    return m_nCoefficientBytes + m_bytesJpeg.size() + pixels * (m_bGreyJpeg ? 5 : 4);
}

bool CQtDecodedPicture::ShownReducedAt(QSize size) const {
    return StepCovering(size) < m_nFinestStep;
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
    if (!m_bJpeg && m_eBands == EBands::None) {
        return 1;
    }
    for (int step : {8, 4, 2}) {
        const QSize s = StepSize(step);
        if (s.width() >= size.width() && s.height() >= size.height()) {
            return step;
        }
        // Only just short: enlarged a little rather than decoded at the next finer step.
        if (m_bJpeg && step <= 4 && s.width() * kStepShortfall >= size.width() &&
            s.height() * kStepShortfall >= size.height()) {
            return step;
        }
    }
    return 1;
}

QImage CQtDecodedPicture::DecodeJpegStep(int step) const {
    if (step < m_nFinestStep) {
        return {}; // beyond the limit
    }
    QImage pixels;
    switch (DecodeJpegScaled(m_bytesJpeg, 8 / step, pixels)) {
    case EJpegDecode::Decoded:
        m_nStepDecodes.fetch_add(1);
        return Oriented(std::move(pixels),
                        QImageIOHandler::Transformations(QFlag(m_nTransformation)));
    case EJpegDecode::Unsupported:
        return DecodeJpegStepWithQt(step);
    case EJpegDecode::Failed:
        break;
    }
    return {};
}

QImage CQtDecodedPicture::DecodeJpegStepWithQt(int step) const {
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
    ConvertToDrawingFormat(pixels);
    return pixels;
}

QImage CQtDecodedPicture::PixelsCovering(QSize size) const {
    // A step beyond the limit is never decoded: the finest within it is enlarged instead.
    const int wanted = std::max(StepCovering(size), m_nFinestStep);
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
    if (m_nCheck.load() == Fails) {
        return {};
    }
    QImage pixels = m_bJpeg                    ? DecodeJpegStep(wanted)
                    : m_eBands != EBands::None ? DecodeBandStep(wanted)
                                               : QImage();
    std::lock_guard lock(m_mutex);
    if (!pixels.isNull()) {
        m_imgSteps[StepIndex(wanted)] = pixels;
        m_nCheck.store(Decodes);
        return pixels;
    }
    // Decoding a larger step failed (memory): draw from the best step held.
    for (const QImage& held : m_imgSteps) {
        if (!held.isNull()) {
            return held;
        }
    }
    if (m_nCheck.load() == Unchecked) {
        m_nCheck.store(Fails); // the first decode of a picture opened unchecked
    }
    return {};
}

bool CQtDecodedPicture::CheckDecodes() const {
    if (m_nCheck.load() == Unchecked) {
        PixelsCovering(QSize(1, 1));
    }
    return m_nCheck.load() == Decodes;
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

void CQtDecodedPicture::LetGoPixels(qint64 minBytes) const {
    // Let go outside the lock: the last copy's pixels are freed there.
    std::vector<QImage> dropped;
    {
        std::lock_guard lock(m_mutex);
        for (QImage& image : m_imgSteps) {
            if (!image.isNull() && image.sizeInBytes() >= minBytes) {
                dropped.push_back(std::exchange(image, QImage()));
            }
        }
        for (auto it = m_lstScaled.begin(); it != m_lstScaled.end();) {
            if (it->sizeInBytes() >= minBytes) {
                dropped.push_back(std::move(*it));
                it = m_lstScaled.erase(it);
            } else {
                ++it;
            }
        }
    }
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
