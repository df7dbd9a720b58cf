#include "PngBandDecoder.h"

#include <QIODevice>
#include <algorithm>
#include <memory>
#include <png.h>
#include <vector>

#include "DecoderMessages.h"
#include "PictureBands.h"

namespace render {

namespace {

[[noreturn]] void Error(png_structp png, png_const_charp) {
    CountDecoderMessage();
    png_longjmp(png, 1);
}

void Warning(png_structp, png_const_charp) {
    CountDecoderMessage();
}

void Read(png_structp png, png_bytep data, std::size_t length) {
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (device->read(reinterpret_cast<char*>(data), qint64(length)) != qint64(length)) {
        png_error(png, "the file ends early");
    }
}

// Everything the reading holds, owned outside the frame the library may jump out of.
struct SPngRead {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<unsigned char> row;
    std::unique_ptr<CBandReducer> reducer;

    ~SPngRead() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

// The decoding itself; false on any error of the library. unsupported is set for an
// interlaced picture.
bool Decode(SPngRead& r, QIODevice& device, int factor, bool& unsupported) {
    if (setjmp(png_jmpbuf(r.png)) != 0) {
        return false;
    }
    png_set_read_fn(r.png, &device, Read);
    png_read_info(r.png, r.info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colour = 0;
    int interlace = 0;
    png_get_IHDR(r.png, r.info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    if (interlace != PNG_INTERLACE_NONE) {
        unsupported = true;
        return false;
    }
    if (width == 0 || height == 0 || width > 0x7FFFFFF || height > 0x7FFFFFF) {
        return false;
    }
    const bool alpha =
        (colour & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(r.png, r.info, PNG_INFO_tRNS) != 0;
    if (colour == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(r.png);
    }
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) {
        png_set_expand_gray_1_2_4_to_8(r.png);
    }
    if (png_get_valid(r.png, r.info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(r.png);
    }
    if (depth == 16) {
        png_set_strip_16(r.png);
    }
    if ((colour & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_gray_to_rgb(r.png);
    }
    png_set_bgr(r.png);
    if (!alpha) {
        png_set_filler(r.png, 0xFF, PNG_FILLER_AFTER);
    }
    png_read_update_info(r.png, r.info);
    const int w = int(width);
    const int h = int(height);
    if (png_get_rowbytes(r.png, r.info) != std::size_t(w) * 4) {
        return false;
    }
    r.reducer = std::make_unique<CBandReducer>(w, h, factor, alpha);
    if (!r.reducer->Valid()) {
        return false;
    }
    r.row.resize(std::size_t(w) * 4);
    for (int y = 0; y < h; ++y) {
        png_read_row(r.png, r.row.data(), nullptr); // every row is read, and so checked
        r.reducer->AddRow(y, r.row.data());
    }
    png_read_end(r.png, nullptr);
    return true;
}

} // namespace

EPngBands DecodePngReduced(QIODevice& device, int factor, QImage& out) {
    out = QImage();
    if (factor != 1 && factor != 2 && factor != 4 && factor != 8) {
        return EPngBands::Failed;
    }
    SPngRead r;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
    if (r.png == nullptr) {
        return EPngBands::Failed;
    }
    r.info = png_create_info_struct(r.png);
    if (r.info == nullptr) {
        return EPngBands::Failed;
    }
    bool unsupported = false;
    if (!Decode(r, device, factor, unsupported)) {
        return unsupported ? EPngBands::Unsupported : EPngBands::Failed;
    }
    out = r.reducer->Take();
    return EPngBands::Decoded;
}

} // namespace render
