#pragma once
// The decoded picture behind a PictureHandle. W and H come from the file's header (as shown,
// after the photo's orientation); pixels are decoded lazily at 1/8, 1/4, 1/2 or full scale, the
// smallest step that covers the size asked for, and the area-averaged picture is kept for the
// sizes it was last drawn at, so that a repaint only blits.
//
// Thread safety: every member function may be called from any thread, also concurrently with
// the same picture in use elsewhere. A worker thread may therefore decode and pre-scale a picture
// (PixelsCovering, AreaAveraged) while the user-interface thread draws it; the QImage values
// returned are implicitly shared copies that stay valid and unchanged.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>
#include <list>
#include <memory>
#include <mutex>

#include "model/PictureDecoder.h"

namespace render {

// The most memory a picture's decoding may hold at its peak: the pixels as the decoder delivers
// them, their copy in the drawing format where the conversion cannot be done in place, and for
// a JPEG the whole picture's coefficients where the stream needs them. A picture above it is
// refused before decoding; a JPEG is judged step by step, so a picture too large to decode
// whole is shown from the finest step within the limit.
constexpr qint64 kMaxPictureBytes = qint64(1) << 30;
// How much smaller than the size drawn a JPEG's half or quarter step may be and still be used
// instead of the next finer decode: enlarging by up to this factor keeps above 40 dB against an
// exact area average of the full picture (a 24-megapixel photograph drawn at 1620 x 1080 from
// its quarter step: 41.7 dB, against 48.7 dB from the half step).
constexpr double kStepShortfall = 1.1;
// Area-averaged sizes kept per picture (the editor's zoom, the player's screen, printing).
constexpr int kScaledSizesKept = 3;

// True when a picture of this declared size may be decoded: both sides positive and the
// 32-bit pixels within kMaxPictureBytes.
bool DeclaredSizeAcceptable(QSize size);
// Bytes held at the peak of decoding a picture of this size that the reader delivers in the
// format `decoded` (Format_Invalid when unknown: taken as 8 bytes a pixel) and that is then
// brought to the drawing format: the decoded pixels, plus the drawing-format copy unless the
// conversion is done in place (between formats of 32 bits a pixel).
qint64 DecodePeakBytes(QSize size, QImage::Format decoded);
// Brings pixels to the drawing format (ToDrawingFormat), in place where that can be done.
void ConvertToDrawingFormat(QImage& image);

// While an object of this class lives, pictures opened on its thread are not decoded at their
// smallest step to prove that they decode: the caller is about to draw them larger, and that
// decode proves it (see CQtDecodedPicture::CheckDecodes and render::PreparePicture).
class CDeferredPictureCheck {
public:
    CDeferredPictureCheck();
    ~CDeferredPictureCheck();
    CDeferredPictureCheck(const CDeferredPictureCheck&) = delete;
    CDeferredPictureCheck& operator=(const CDeferredPictureCheck&) = delete;
    // True on a thread where such an object lives.
    static bool Active();
};

class CQtDecodedPicture final : public CDecodedPicture {
public:
    // Reads the header of the file at path, refuses a picture whose decode would exceed
    // limitBytes at its peak without decoding, and decodes the smallest step (a JPEG) or the
    // whole picture (other formats) to prove that the file decodes. Null for a missing,
    // unreadable, truncated or undecodable file, and for anything but a regular file.
    // With checkNow false a JPEG is only checked for its structure here: its first decode, at
    // the size it is drawn at, proves the rest (CheckDecodes).
    static std::shared_ptr<CQtDecodedPicture>
    Open(const QString& path, qint64 limitBytes = kMaxPictureBytes, bool checkNow = true);
    // The same from a descriptor of a regular file open for reading, which it takes over.
    static std::shared_ptr<CQtDecodedPicture>
    OpenDescriptor(int fd, qint64 limitBytes = kMaxPictureBytes, bool checkNow = true);

    ~CQtDecodedPicture() override;

    int Width() const override { return m_szShown.width(); }
    int Height() const override { return m_szShown.height(); }
    QSize Size() const { return m_szShown; }
    bool IsJpeg() const { return m_bJpeg; }

    // The pixels of the coarsest step (8, 4, 2 or 1) whose size covers `size` in both
    // directions, the full picture when none does; decodes that step when no decoded step
    // covers it. A JPEG's half (quarter) step also stands in for the full (half) one when it
    // falls short of `size` by at most kStepShortfall (it is enlarged that little): each
    // decodes in about four fifths of the time of the finer one. A step finer than FinestStep is
    // never decoded: that step is given instead (to be enlarged). Null only when decoding fails.
    QImage PixelsCovering(QSize size) const;
    // The picture area-averaged to exactly `size` (each side 1 up to the picture's); cached.
    QImage AreaAveraged(QSize size) const;

    // True when the picture decodes: decodes its smallest step when no decode has run yet.
    // False once a decode of a picture opened unchecked failed with nothing decoded before.
    bool CheckDecodes() const;

    // The finest step whose decode stays within the limit: 1 but for a JPEG too large to decode
    // whole.
    int FinestStep() const { return m_nFinestStep; }
    // True when drawing at `size` needs a finer step than the limit allows: the picture is then
    // shown reduced (from FinestStep, enlarged).
    bool ShownReducedAt(QSize size) const;

    // Steps held decoded, as a bit set: bit 0 full, 1 half, 2 quarter, 3 eighth.
    unsigned DecodedSteps() const;
    // How many step decodes this picture has run (the first one included).
    int StepDecodeCount() const { return m_nStepDecodes.load(); }
    // Bytes of pixels held: decoded steps and scaled pictures.
    qint64 MemoryBytes() const;
    // Lets go of the decoded steps and scaled pictures of at least minBytes each (copies in use
    // elsewhere stay valid): a later draw that needs one decodes it again.
    void LetGoPixels(qint64 minBytes) const;

private:
    CQtDecodedPicture() = default;
    static int StepIndex(int step);
    QSize StepSize(int step) const;
    int StepCovering(QSize size) const;
    QImage DecodeJpegStep(int step) const;
    QImage DecodeBandStep(int step) const;
    QImage DecodeJpegStepWithQt(int step) const;
    // Memory held at the peak of decoding this JPEG at a step.
    qint64 JpegStepPeakBytes(int step) const;

    QSize m_szShown;
    QSize m_szStored; // as stored in the file, before the photo's orientation
    bool m_bJpeg = false;
    QByteArray m_bytesJpeg; // the JPEG file, kept so that larger steps decode the same bytes
    enum class EBands { None, Png, Bmp };
    EBands m_eBands = EBands::None; // decoded in bands at each step, from the file kept open
    int m_fdSource = -1;
    qint64 m_nCoefficientBytes = 0; // what the JPEG decoder holds for the whole picture
    bool m_bGreyJpeg = false;       // decoded as 8-bit grey, then widened to 32 bits
    int m_nFinestStep = 1;
    int m_nTransformation = 0; // QImageIOHandler::Transformations of the photo's orientation

    mutable std::mutex m_mutex;            // guards m_imgSteps and m_lstScaled
    mutable std::mutex m_decodeMutex;      // one step decode at a time per picture
    mutable QImage m_imgSteps[4];          // index 0 full, 1 half, 2 quarter, 3 eighth
    mutable std::list<QImage> m_lstScaled; // most recently used first
    mutable std::atomic<int> m_nStepDecodes{0};
    enum ECheck { Unchecked, Decodes, Fails };
    mutable std::atomic<int> m_nCheck{Decodes};
};

} // namespace render
