#include "QtPictureDecoder.h"

#include <QImageReader>
#include <QString>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "DecoderMessages.h"
#include "model/FileSystem.h"

namespace render {

namespace {

constexpr std::size_t kMaxCachedPictures = 64;

} // namespace

CQtPictureDecoder::CQtPictureDecoder(qint64 cacheBytes) : m_nCacheBytes(cacheBytes) {
    QImageReader::setAllocationLimit(kDecoderAllocationLimitMb);
    InstallDecoderMessageFilter();
}

PictureHandle CQtPictureDecoder::Decode(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return nullptr;
    }
    // Opened without blocking and judged by the opened descriptor: a FIFO or a device is
    // refused at once, and what is decoded is what was checked.
    struct stat st {};
    int err = 0;
    const int fd = OpenRegularFile(resolved, st, err);
    if (fd < 0) {
        return nullptr;
    }
    SKey key{resolved, static_cast<qint64>(st.st_size),
             static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
             static_cast<quint64>(st.st_ino)};
    const bool deferred = CDeferredPictureCheck::Active();
    std::shared_ptr<const CQtDecodedPicture> cached;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_lstEntries.begin(); it != m_lstEntries.end(); ++it) {
            if (it->key == key) {
                m_lstEntries.splice(m_lstEntries.begin(), m_lstEntries, it);
                cached = it->picture;
                break;
            }
        }
    }
    if (cached) {
        ::close(fd);
        // A picture opened unchecked by another caller is proved now, outside the lock.
        if (deferred || cached->CheckDecodes()) {
            return cached;
        }
        std::lock_guard lock(m_mutex);
        m_lstEntries.remove_if([&](const SEntry& e) { return e.picture == cached; });
        return nullptr;
    }
    m_nFilesOpened.fetch_add(1);
    std::shared_ptr<const CQtDecodedPicture> picture =
        CQtDecodedPicture::OpenDescriptor(fd, kMaxPictureBytes, !deferred);
    if (!picture) {
        return nullptr;
    }
    std::lock_guard lock(m_mutex);
    // The same file decoded earlier under another state is stale now.
    m_lstEntries.remove_if([&](const SEntry& e) { return e.key.strPath == key.strPath; });
    m_lstEntries.push_front(SEntry{std::move(key), picture});
    TrimLocked();
    return picture;
}

void CQtPictureDecoder::TrimLocked() {
    qint64 total = 0;
    for (const SEntry& e : m_lstEntries) {
        total += e.picture->MemoryBytes();
    }
    // Least recently used first; a picture still held by a panel costs nothing extra to keep.
    for (auto it = m_lstEntries.end(); it != m_lstEntries.begin();) {
        --it;
        if (total <= m_nCacheBytes && m_lstEntries.size() <= kMaxCachedPictures) {
            break;
        }
        if (it == m_lstEntries.begin()) {
            break; // the picture just decoded stays
        }
        if (it->picture.use_count() == 1) {
            total -= it->picture->MemoryBytes();
            it = m_lstEntries.erase(it);
        }
    }
}

int CQtPictureDecoder::CachedPictures() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_lstEntries.size());
}

void CQtPictureDecoder::SetCacheBytes(qint64 bytes) {
    std::lock_guard lock(m_mutex);
    m_nCacheBytes = bytes;
    TrimLocked();
}

void CQtPictureDecoder::ClearCache() {
    std::lock_guard lock(m_mutex);
    m_lstEntries.clear();
}

} // namespace render
