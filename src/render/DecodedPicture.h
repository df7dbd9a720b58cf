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

// A picture whose pixels would need more than this much memory is refused before decoding.
constexpr qint64 kMaxPictureBytes = qint64(1) << 30;
// Area-averaged sizes kept per picture (the editor's zoom, the player's screen, printing).
constexpr int kScaledSizesKept = 3;

// True when a picture of this declared size may be decoded: both sides positive and the
// 32-bit pixels within kMaxPictureBytes.
bool DeclaredSizeAcceptable(QSize size);

class CQtDecodedPicture final : public CDecodedPicture {
public:
    // Reads the header of the file at path, refuses a size beyond the limit without decoding,
    // and decodes the smallest step (a JPEG) or the whole picture (other formats) to prove that
    // the file decodes. Null for a missing, unreadable, truncated or undecodable file.
    static std::shared_ptr<CQtDecodedPicture> Open(const QString& path);

    int Width() const override { return m_szShown.width(); }
    int Height() const override { return m_szShown.height(); }
    QSize Size() const { return m_szShown; }
    bool IsJpeg() const { return m_bJpeg; }

    // The pixels of the coarsest step (8, 4, 2 or 1) whose size covers `size` in both
    // directions, the full picture when none does; decodes that step when no decoded step
    // covers it. Null only when decoding fails.
    QImage PixelsCovering(QSize size) const;
    // The picture area-averaged to exactly `size` (each side 1 up to the picture's); cached.
    QImage AreaAveraged(QSize size) const;

    // Steps held decoded, as a bit set: bit 0 full, 1 half, 2 quarter, 3 eighth.
    unsigned DecodedSteps() const;
    // How many step decodes this picture has run (the first one included).
    int StepDecodeCount() const { return m_nStepDecodes.load(); }
    // Bytes of pixels held: decoded steps and scaled pictures.
    qint64 MemoryBytes() const;

private:
    CQtDecodedPicture() = default;
    static int StepIndex(int step);
    QSize StepSize(int step) const;
    int StepCovering(QSize size) const;
    QImage DecodeJpegStep(int step) const;

    QSize m_szShown;
    QSize m_szStored; // as stored in the file, before the photo's orientation
    bool m_bJpeg = false;
    QByteArray m_bytesJpeg; // the JPEG file, kept so that larger steps decode the same bytes

    mutable std::mutex m_mutex;            // guards m_imgSteps and m_lstScaled
    mutable std::mutex m_decodeMutex;      // one step decode at a time per picture
    mutable QImage m_imgSteps[4];          // index 0 full, 1 half, 2 quarter, 3 eighth
    mutable std::list<QImage> m_lstScaled; // most recently used first
    mutable std::atomic<int> m_nStepDecodes{0};
};

} // namespace render
