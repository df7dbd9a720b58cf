#include "JpegScaledDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>

#include <jerror.h>
#include <jpeglib.h>
#include <sys/mman.h>

#include "DecoderMessages.h"

namespace render {

namespace {

// The library's error manager, with a way back instead of exit() and no printing.
struct SErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool bDamaged = false; // a warning that means pixels were lost
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    CountDecoderMessage();
    std::longjmp(reinterpret_cast<SErrorManager*>(cinfo->err)->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) {
        return; // trace messages
    }
    CountDecoderMessage();
    // Warnings: the ones saying that entropy-coded data is missing or corrupt mean that the
    // library went on with grey or garbled blocks.
    auto* err = reinterpret_cast<SErrorManager*>(cinfo->err);
    switch (err->pub.msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
        err->bDamaged = true;
        break;
    default:
        break;
    }
}

void OutputMessage(j_common_ptr) {}

// Large pages are 2 MB on the machines this runs on; smaller buffers gain nothing from them.
constexpr std::size_t kLargePage = std::size_t(2) << 20;

// The buffer kept for reuse while a CPixelBufferReuse lives.
struct SKeptBuffer {
    std::mutex mutex;
    int nScopes = 0;
    void* pData = nullptr;
    std::size_t nBytes = 0;
};

SKeptBuffer& Kept() {
    static SKeptBuffer kept;
    return kept;
}

// A buffer of pixels as handed to QImage: what its cleanup needs to give it back.
struct SPixels {
    void* pData = nullptr;
    std::size_t nBytes = 0; // as allocated; 0 for one from malloc
};

// Memory for `bytes` bytes of pixels; large buffers aligned to and advised for large pages
// (the advice is only a hint: where it is refused nothing changes), or the one kept for reuse
// when it is of that size. Null data when the memory cannot be had.
SPixels AllocatePixels(std::size_t bytes) {
    if (bytes < 2 * kLargePage) {
        return {std::malloc(bytes), 0};
    }
    const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    {
        SKeptBuffer& kept = Kept();
        std::lock_guard lock(kept.mutex);
        if (kept.pData != nullptr && kept.nBytes == rounded) {
            return {std::exchange(kept.pData, nullptr), rounded};
        }
    }
    void* data = std::aligned_alloc(kLargePage, rounded);
    if (data != nullptr) {
        ::madvise(data, rounded, MADV_HUGEPAGE);
    }
    return {data, rounded};
}

// Frees pixels, or keeps a large buffer for the next of its size while reuse is wanted.
void ReleasePixels(const SPixels& pixels) {
    void* freed = pixels.pData;
    if (pixels.nBytes > 0) {
        SKeptBuffer& kept = Kept();
        std::lock_guard lock(kept.mutex);
        if (kept.nScopes > 0) {
            std::swap(freed, kept.pData); // the newest is kept
            kept.nBytes = pixels.nBytes;
        }
    }
    std::free(freed);
}

// An image over pixels (bytesPerLine apart), which it gives back when its last copy goes.
QImage ImageOver(const SPixels& pixels, QSize size, qsizetype bytesPerLine, QImage::Format format) {
    auto* owned = new (std::nothrow) SPixels(pixels);
    if (owned == nullptr) {
        ReleasePixels(pixels);
        return {};
    }
    QImage image(
        static_cast<uchar*>(pixels.pData), size.width(), size.height(), bytesPerLine, format,
        [](void* info) {
            auto* p = static_cast<SPixels*>(info);
            ReleasePixels(*p);
            delete p;
        },
        owned);
    if (image.isNull()) {
        ReleasePixels(pixels);
        delete owned;
    }
    return image;
}

// The decompressor and its error manager; the stages below each set their own return point, so
// that no C++ object with a destructor lives in a frame the library may jump out of.
struct SDecoder {
    jpeg_decompress_struct cinfo{};
    SErrorManager err{};
    bool bCreated = false;

    ~SDecoder() {
        if (bCreated) {
            jpeg_destroy_decompress(&cinfo);
        }
    }
};

// Reads the header and fixes the output: 32-bit pixels at scale eighths/8. False on an error;
// unsupported is set for colour spaces this path leaves to another decoder.
bool Start(SDecoder& d, const unsigned char* data, unsigned long size, int eighths,
           bool& unsupported) {
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = ErrorExit;
    d.err.pub.emit_message = EmitMessage;
    d.err.pub.output_message = OutputMessage;
    if (setjmp(d.err.jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&d.cinfo);
    d.bCreated = true;
    jpeg_mem_src(&d.cinfo, data, size);
    if (jpeg_read_header(&d.cinfo, TRUE) != JPEG_HEADER_OK) {
        return false;
    }
    if (d.cinfo.jpeg_color_space != JCS_YCbCr && d.cinfo.jpeg_color_space != JCS_GRAYSCALE &&
        d.cinfo.jpeg_color_space != JCS_RGB) {
        unsupported = true;
        return false;
    }
    // Opaque 32-bit pixels in memory order B, G, R, 255: Format_RGB32 on little-endian.
    d.cinfo.out_color_space = JCS_EXT_BGRA;
    d.cinfo.scale_num = static_cast<unsigned>(eighths);
    d.cinfo.scale_denom = 8;
    d.cinfo.dct_method = JDCT_ISLOW;
    jpeg_calc_output_dimensions(&d.cinfo);
    return d.cinfo.output_components == 4;
}

// Decodes every row into the image's rows. False on an error or damaged data.
bool ReadRows(SDecoder& d, unsigned char* bits, qsizetype bytesPerLine, int height) {
    if (setjmp(d.err.jump) != 0) {
        return false;
    }
    if (!jpeg_start_decompress(&d.cinfo)) {
        return false;
    }
    if (static_cast<int>(d.cinfo.output_height) != height) {
        return false;
    }
    JSAMPROW rows[16];
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        const JDIMENSION first = d.cinfo.output_scanline;
        const int count = static_cast<int>(
            std::min<JDIMENSION>(16, d.cinfo.output_height - d.cinfo.output_scanline));
        for (int i = 0; i < count; ++i) {
            rows[i] = bits + (qsizetype(first) + i) * bytesPerLine;
        }
        if (jpeg_read_scanlines(&d.cinfo, rows, static_cast<JDIMENSION>(count)) == 0) {
            return false;
        }
    }
    jpeg_finish_decompress(&d.cinfo);
    return !d.err.bDamaged;
}

} // namespace

QSize JpegScaledSize(QSize stored, int eighths) {
    return {std::max(1, int(qint64(stored.width()) * eighths / 8)),
            std::max(1, int(qint64(stored.height()) * eighths / 8))};
}

EJpegDecode DecodeJpegScaled(const QByteArray& bytes, int eighths, QImage& out) {
    out = QImage();
    if (eighths < 1 || eighths > 8 || bytes.isEmpty()) {
        return EJpegDecode::Failed;
    }
    SDecoder d;
    bool unsupported = false;
    if (!Start(d, reinterpret_cast<const unsigned char*>(bytes.constData()),
               static_cast<unsigned long>(bytes.size()), eighths, unsupported)) {
        return unsupported ? EJpegDecode::Unsupported : EJpegDecode::Failed;
    }
    // The library rounds each side up; the result is shown rounded down, as every step is, by
    // an image over the same rows (no copy).
    const int width = static_cast<int>(d.cinfo.output_width);
    const int height = static_cast<int>(d.cinfo.output_height);
    const QSize shown =
        JpegScaledSize(QSize(int(d.cinfo.image_width), int(d.cinfo.image_height)), eighths);
    if (shown.width() > width || shown.height() > height) {
        return EJpegDecode::Failed;
    }
    const qsizetype bytesPerLine = qsizetype(width) * 4;
    const SPixels pixels = AllocatePixels(std::size_t(bytesPerLine) * height);
    if (pixels.pData == nullptr) {
        return EJpegDecode::Failed;
    }
    if (!ReadRows(d, static_cast<unsigned char*>(pixels.pData), bytesPerLine, height)) {
        ReleasePixels(pixels);
        return EJpegDecode::Failed;
    }
    QImage image = ImageOver(pixels, shown, bytesPerLine, QImage::Format_RGB32);
    if (image.isNull()) {
        return EJpegDecode::Failed;
    }
    out = std::move(image);
    return EJpegDecode::Decoded;
}

QImage NewLargeImage(QSize size, QImage::Format format) {
    if (size.isEmpty() || QImage::toPixelFormat(format).bitsPerPixel() != 32) {
        return {};
    }
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
    const SPixels pixels = AllocatePixels(std::size_t(bytesPerLine) * std::size_t(size.height()));
    if (pixels.pData == nullptr) {
        return {};
    }
    return ImageOver(pixels, size, bytesPerLine, format);
}

CPixelBufferReuse::CPixelBufferReuse() {
    SKeptBuffer& kept = Kept();
    std::lock_guard lock(kept.mutex);
    ++kept.nScopes;
}

CPixelBufferReuse::~CPixelBufferReuse() {
    void* freed = nullptr;
    {
        SKeptBuffer& kept = Kept();
        std::lock_guard lock(kept.mutex);
        if (--kept.nScopes == 0) {
            freed = std::exchange(kept.pData, nullptr);
        }
    }
    std::free(freed);
}

} // namespace render
