#pragma once
// Helpers of the export tests: PDF pages rendered back with pdftoppm, videos decoded back with
// FFmpeg's libraries, colour counting, a file size limit, and the headless commands run
// in-process.
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "CliTestSupport.h"

namespace exporttest {

// Page `page` (1-based) of a PDF rendered at dpi, or a null image when pdftoppm fails.
QImage RenderPdfPage(const QString& pdf, int page, int dpi);
// A PNG, JPEG or WebP picture read back (WebP through libwebp), or a null image.
QImage ReadPicture(const QString& path);
// A video's best video stream read back: what its parameters say, each packet's duration in
// milliseconds and every frame decoded to 32-bit pixels, in order.
struct SVideoReadBack {
    QString strCodec;
    int nWidth = 0;
    int nHeight = 0;
    bool bYuv420 = false;
    int nTimeScale = 0; // units of the stream's time base per second (0 unless 1/n)
    std::vector<std::int64_t> durations;
    std::vector<QImage> frames;
};
// False when the file cannot be opened or holds no video stream.
bool ReadBackVideo(const QString& path, SVideoReadBack& video);
// The number of pages pdfinfo reports, or -1.
int PdfPageCount(const QString& pdf);
// The bounding box of the pixels for which match is true (empty when none), and their count.
QRect BoundsOf(const QImage& image, const std::function<bool(QRgb)>& match, int* count = nullptr);
bool IsRed(QRgb c);
bool IsBlue(QRgb c);
// Runs fn while no file larger than limit bytes may be written (SIGXFSZ ignored).
void WithFileSizeLimit(long limit, const std::function<void()>& fn);
// The names in a folder, sorted, hidden ones included.
QStringList FolderEntries(const QString& folder);

// The velmo command line run in this process (cli::RunHeadlessCommand).
using clitest::RunCli;
using clitest::SRun;

} // namespace exporttest
