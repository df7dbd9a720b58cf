#pragma once
// The picture decoder the application and the headless commands own and hand to every document,
// player and export they make: Qt's image readers behind the model's decoder interface, with a
// decode cache keyed by (resolved path, size, modification time) so that undo, redo and playback
// re-use a decoded picture while its file is unchanged.
//
// Thread safety: Decode may be called from any thread, concurrently (the player loads the next
// panel on a worker thread). The returned pictures are CQtDecodedPicture objects, themselves safe
// to decode further and scale from any thread (see DecodedPicture.h).
#include <QtGlobal>
#include <atomic>
#include <list>
#include <mutex>
#include <string>

#include "DecodedPicture.h"
#include "model/PictureDecoder.h"

namespace render {

// Qt's own per-image allocation limit, in megabytes: raised from its default of 128 (which
// refuses photographs above about 33 megapixels) to the picture limit.
constexpr int kDecoderAllocationLimitMb = static_cast<int>(kMaxPictureBytes >> 20);
// Pixels kept by the decode cache for pictures no panel holds any more.
constexpr qint64 kDefaultDecodeCacheBytes = qint64(512) << 20;

class CQtPictureDecoder final : public IPictureDecoder {
public:
    explicit CQtPictureDecoder(qint64 cacheBytes = kDefaultDecodeCacheBytes);

    // The cached picture when the file at path (UTF-8) is unchanged since it was decoded, else a
    // fresh decode (which replaces the stale entry). Null when the file is missing or cannot be
    // decoded; failures are not cached. Any thread.
    PictureHandle Decode(const std::string& path) override;

    // How many times a file was opened for decoding (cache misses). Any thread.
    int FilesOpened() const { return m_nFilesOpened.load(); }
    int CachedPictures() const;
    void ClearCache();
    // Changes the bytes kept for pictures no panel holds; 0 keeps none of them (a headless
    // export reads each picture once, so a kept one is only memory).
    void SetCacheBytes(qint64 bytes);

private:
    struct SKey {
        std::string strPath; // resolved: absolute, symbolic links followed
        qint64 nSize = 0;
        qint64 nModifiedNs = 0;
        quint64 nInode = 0;
        friend bool operator==(const SKey&, const SKey&) = default;
    };
    struct SEntry {
        SKey key;
        std::shared_ptr<const CQtDecodedPicture> picture;
    };
    void TrimLocked();

    mutable std::mutex m_mutex;
    std::list<SEntry> m_lstEntries; // most recently used first
    qint64 m_nCacheBytes;
    std::atomic<int> m_nFilesOpened{0};
};

} // namespace render
