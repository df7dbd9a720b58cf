// Feeds arbitrary bytes as a picture file of each format the program reads (the first byte
// picks the format by the file's extension; Qt also looks at the content) through the JPEG
// completeness check and the decode path with its allocation limit. A picture that opens must
// have the size it declares, within the limit, and give pixels at every scale asked for.
#include <QImage>
#include <cstdint>
#include <string>

#include "FuzzFiles.h"
#include "FuzzQt.h"
#include "render/DecodedPicture.h"
#include "render/JpegStructure.h"

namespace {

const char* const kExtensions[] = {"jpg", "png", "bmp", "gif", "ico", "ppm", "pgm", "xpm"};
// A lower memory limit than the program's: a picture of many megapixels is legal, but
// scaling it under the sanitizers takes longer than a fuzz run allows. The limit's rules are
// the same at any size.
constexpr qint64 kFuzzLimitBytes = qint64(4) << 20;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnsureFuzzGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t format = data[0] % std::size(kExtensions);
    ++data;
    --size;
    const bool complete = render::JpegStreamIsComplete(data, size);
    // A complete stream starts with a start-of-image marker and ends with an end-of-image one.
    Check(!complete || (size >= 4 && data[0] == 0xFF && data[1] == 0xD8));

    const std::string path =
        WriteFuzzFile(std::string("picture.") + kExtensions[format], data, size);
    const auto picture =
        render::CQtDecodedPicture::Open(QString::fromStdString(path), kFuzzLimitBytes);
    if (!picture) {
        return 0;
    }
    const QSize shown = picture->Size();
    Check(shown.width() > 0 && shown.height() > 0);
    Check(render::DeclaredSizeAcceptable(shown));
    if (picture->IsJpeg()) {
        Check(complete);
    }
    for (const QSize asked :
         {QSize(1, 1), QSize(shown.width() / 3 + 1, shown.height() / 5 + 1), shown}) {
        const QImage pixels = picture->PixelsCovering(asked);
        if (pixels.isNull()) {
            continue; // a later part of the stream may fail to decode at a larger scale
        }
        Check(pixels.width() <= shown.width() && pixels.height() <= shown.height());
        const QSize small(std::min(asked.width(), 9), std::min(asked.height(), 7));
        const QImage averaged = picture->AreaAveraged(small);
        Check(averaged.isNull() || averaged.size() == small);
    }
    Check(picture->MemoryBytes() >= 0);
    return 0;
}
