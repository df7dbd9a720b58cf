#include "ShowData.h"

#include <unistd.h>

#include <algorithm>

#include "Archive.h"
#include "Document.h"
#include "FileSystem.h"
#include "TextCodec.h"

namespace {
constexpr const char* kPanelExtension = ".vlm";

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}
} // namespace

std::string ShowPanelPath(const std::string& folder, const std::string& nameCp932) {
    return folder + Cp932ToUtf8(nameCp932) + kPanelExtension;
}

int CShowData::NameCount() const {
    return std::clamp<std::int32_t>(m_nCount, 0, kMaxShowNames);
}

EShowListEdit CShowData::InsertName(int before, const std::string& name) {
    const int count = NameCount();
    if (count >= kMaxShowNames) {
        return EShowListEdit::Full;
    }
    const int at = before < 0 || before > count ? count : before;
    std::move_backward(m_strNames.begin() + at, m_strNames.begin() + count,
                       m_strNames.begin() + count + 1);
    m_strNames[static_cast<std::size_t>(at)] = name;
    m_nCount = count + 1;
    return EShowListEdit::Done;
}

EShowListEdit CShowData::RemoveName(int index) {
    const int count = NameCount();
    if (index < 0 || index >= count) {
        return EShowListEdit::NoSuchName;
    }
    std::move(m_strNames.begin() + index + 1, m_strNames.begin() + count,
              m_strNames.begin() + index);
    m_strNames[static_cast<std::size_t>(count - 1)].clear();
    m_nCount = count - 1;
    return EShowListEdit::Done;
}

void CShowData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteInt32(m_nHeader);
        ar.WriteInt32(m_nCount);
        ar.WriteInt32(m_nReserved);
        for (int i = 0; i < m_nCount && i < kMaxShowNames; ++i) {
            ar.WriteString(m_strNames[static_cast<std::size_t>(i)]);
        }
        return;
    }
    const std::int32_t header = ar.ReadInt32();
    const std::int32_t count = ar.ReadInt32();
    const std::int32_t reserved = ar.ReadInt32();
    if (count > kMaxShowNames) {
        // A show holds at most 100 names; keeping only some would drop the rest on the next save.
        throw CArchiveException(CArchiveException::endOfFile, "show holds more than 100 names");
    }
    std::array<std::string, kMaxShowNames> names;
    for (int i = 0; i < count; ++i) {
        names[static_cast<std::size_t>(i)] = ar.ReadString();
    }
    m_nHeader = header;
    m_nCount = count;
    m_nReserved = reserved;
    for (int i = 0; i < count; ++i) {
        m_strNames[static_cast<std::size_t>(i)] = std::move(names[static_cast<std::size_t>(i)]);
    }
    m_strFolder = FolderOf(ar.GetFilePath());
}

bool CShowData::LoadFromPath(const std::string& path) {
    if (EndsWith(path, "vls")) {
        std::vector<std::uint8_t> bytes;
        int err = 0;
        if (!ReadWholeFile(path, bytes, err, kMaxDocumentFileBytes)) {
            return false;
        }
        CShowData loaded;
        if (bytes.empty()) {
            // A file of 0 bytes is a valid show with no names (what "新規ショー設定..." writes).
            loaded.m_strFolder = FolderOf(path);
        } else {
            CArchive ar = CArchive::ForLoading(bytes, path);
            loaded.Serialize(ar);
        }
        *this = std::move(loaded);
        return true;
    }
    if (EndsWith(path, "vlm")) {
        return FromPanelFile(path);
    }
    return false;
}

bool CShowData::FromPanelFile(const std::string& path) {
    if (!IsRegularFile(path) || ::access(path.c_str(), R_OK) != 0) {
        return false;
    }
    std::string name = FileNameOf(path);
    if (EndsWith(name, kPanelExtension)) {
        name.resize(name.size() - 4);
    }
    // A name that code page 932 cannot hold could not be stored in a show.
    const auto stored = Utf8ToCp932Exact(name);
    if (!stored) {
        return false;
    }
    m_nCount = 1;
    m_strNames[0] = *stored;
    m_strFolder = FolderOf(path);
    return true;
}
