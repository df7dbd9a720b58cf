#include "PictureHeader.h"

#include <QFile>
#include <QImageReader>
#include <sys/stat.h>
#include <unistd.h>

#include "PngStructure.h"
#include "model/FileSystem.h"

namespace render {

namespace {

class CPictureSize final : public CDecodedPicture {
public:
    explicit CPictureSize(QSize size) : m_sz(size) {}
    int Width() const override { return m_sz.width(); }
    int Height() const override { return m_sz.height(); }

private:
    QSize m_sz;
};

} // namespace

PictureHandle CPictureHeaderReader::Decode(const std::string& path) {
    struct stat st {};
    int err = 0;
    const int fd = OpenRegularFile(path, st, err);
    if (fd < 0) {
        return nullptr;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    // The PNG library prints its errors on standard error: a damaged chunk before the image
    // data is refused here first.
    constexpr qint64 kPngHeadBytes = qint64(16) << 20;
    const QByteArray head = file.peek(kPngHeadBytes);
    if (head.startsWith("\x89PNG") &&
        !PngHeadIsSound(reinterpret_cast<const unsigned char*>(head.constData()),
                        static_cast<std::size_t>(head.size()))) {
        return nullptr;
    }
    QImageReader header(&file);
    const QSize stored = header.size();
    if (header.format().isEmpty() || !stored.isValid() || stored.isEmpty()) {
        return nullptr;
    }
    const bool turned = header.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    return std::make_shared<CPictureSize>(turned ? stored.transposed() : stored);
}

} // namespace render
