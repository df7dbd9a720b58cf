#include "PanelImage.h"

#include <algorithm>
#include <limits>

#include "Archive.h"
#include "FileSystem.h"
#include "TextCodec.h"

namespace {

std::int32_t ClampToInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

PictureHandle DecodeFile(IPictureDecoder& decoder, const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    PictureHandle picture = decoder.Decode(path);
    if (picture && (picture->Width() <= 0 || picture->Height() <= 0)) {
        return nullptr;
    }
    return picture;
}

} // namespace

int PictureKindFromFileName(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) {
        return -1;
    }
    const std::string ext = name.substr(dot + 1);
    if (ext == "jpg" || ext == "JPG") {
        return KIND_JPEG;
    }
    if (ext == "bmp" || ext == "BMP") {
        return KIND_BMP;
    }
    return -1;
}

CPanelImage::CPanelImage() {
    Clear();
}

void CPanelImage::Clear() {
    ResetLayer();
    m_bitmap.reset();
    m_strName.clear();
    m_strPath.clear();
    m_nKind = KIND_NONE;
}

void CPanelImage::CopyFrom(const CPanelImage& other) {
    CopyLayerFrom(other);
    m_strName = other.m_strName;
    m_strPath = other.m_strPath;
    m_nKind = other.m_nKind;
}

EImportResult CPanelImage::Import(const std::string& path, IPictureDecoder& decoder) {
    // Names are stored in code page 932; a name that cannot be stored exactly could never be
    // found again, so such a file is refused before anything changes.
    const auto storedPath = Utf8ToCp932Exact(path);
    const auto storedName = Utf8ToCp932Exact(FileNameOf(path));
    if (!storedPath || !storedName) {
        return EImportResult::NameNotStorable;
    }
    PictureHandle picture = DecodeFile(decoder, path);
    if (!picture) {
        return EImportResult::Undecodable;
    }
    m_strPath = *storedPath;
    m_strName = *storedName;
    const int kind = PictureKindFromFileName(*storedName);
    if (kind >= 0) {
        m_nKind = kind;
    }
    m_bitmap = std::move(picture);
    // 300 pixels wide at (50, 50), the height in proportion (truncated).
    const std::int64_t w = m_bitmap->Width();
    const std::int64_t h = m_bitmap->Height();
    m_rcBody = CRect{50, 50, 350, ClampToInt32(50 + h * 300 / w)};
    return EImportResult::Imported;
}

std::string CPanelImage::ResolvePicturePath() const {
    // Only the name's last component counts, as with the names of a show: a stored name such
    // as "../x/y.jpg" or an absolute path never leads out of the folders searched.
    const std::string name = FileNameOf(Cp932ToUtf8(m_strName));
    if (name.empty() || name == "." || name == "..") {
        return {};
    }
    std::vector<std::string> candidates;
    if (!m_strHomeFolder.empty()) {
        candidates.push_back(m_strHomeFolder + name);
    }
    if (!m_strPath.empty()) {
        candidates.push_back(Cp932ToUtf8(m_strPath));
    }
    candidates.push_back(name);
    // Each only as a regular file; the decoder checks the file it opens again.
    for (const std::string& candidate : candidates) {
        if (IsRegularFile(candidate)) {
            return candidate;
        }
    }
    return {};
}

bool CPanelImage::Reload(IPictureDecoder& decoder) {
    m_bitmap.reset();
    m_bitmap = DecodeFile(decoder, ResolvePicturePath());
    return m_bitmap != nullptr;
}

void CPanelImage::FitToAspect(CRect& rect, int corner) const {
    if (!m_bitmap) {
        return;
    }
    const std::int64_t W = m_bitmap->Width();
    const std::int64_t H = m_bitmap->Height();
    // The mean of the height the new width implies and the height the drag produced.
    const std::int64_t width = static_cast<std::int64_t>(rect.right) - rect.left;
    const std::int64_t height = static_cast<std::int64_t>(rect.bottom) - rect.top;
    const std::int64_t h = (width * H / W + height) / 2;
    const std::int64_t w = W * h / H;
    switch (corner) {
    case HANDLE_TOP_RIGHT:
        rect.right = ClampToInt32(rect.left + w);
        rect.top = ClampToInt32(rect.bottom - h);
        break;
    case HANDLE_TOP_LEFT:
        rect.left = ClampToInt32(rect.right - w);
        rect.top = ClampToInt32(rect.bottom - h);
        break;
    case HANDLE_BOTTOM_RIGHT:
        rect.right = ClampToInt32(rect.left + w);
        rect.bottom = ClampToInt32(rect.top + h);
        break;
    case HANDLE_BOTTOM_LEFT:
        rect.left = ClampToInt32(rect.right - w);
        rect.bottom = ClampToInt32(rect.top + h);
        break;
    default:
        break;
    }
}

void CPanelImage::Serialize(CArchive& ar) {
    SerializeLayer(ar);
    ar.Exchange(m_strName);
    ar.Exchange(m_strPath);
    ar.Exchange(m_nKind);
    if (ar.IsLoading()) {
        m_strHomeFolder = FolderOf(ar.GetFilePath());
        m_bitmap.reset();
    }
}
