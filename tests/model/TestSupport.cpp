#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

#include "model/Archive.h"

namespace fs = std::filesystem;

CTempDir::CTempDir() {
    std::string pattern = (fs::temp_directory_path() / "velmo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
}

CTempDir::~CTempDir() {
    std::error_code ec;
    // Tests may leave read-only entries behind; make everything removable first.
    for (auto it = fs::recursive_directory_iterator(m_path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

std::string CTempDir::Path(const std::string& name) const {
    return m_path.string() + "/" + name;
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

void PutInt32(Bytes& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    }
}

void PutBytes(Bytes& out, std::initializer_list<int> bytes) {
    for (int b : bytes) {
        out.push_back(static_cast<std::uint8_t>(b));
    }
}

void PutText(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

Bytes StorePanel(CPanel& panel) {
    CArchive ar = CArchive::ForStoring();
    panel.Serialize(ar);
    return ar.GetStoredBytes();
}

void LoadPanel(CPanel& panel, const Bytes& bytes, const std::string& filePath) {
    CArchive ar = CArchive::ForLoading(bytes, filePath);
    panel.Serialize(ar);
}

Bytes DefaultPanelBytes() {
    CPanel panel;
    return StorePanel(panel);
}

namespace {
class CFakePicture : public CDecodedPicture {
public:
    CFakePicture(int w, int h) : m_nWidth(w), m_nHeight(h) {}
    int Width() const override { return m_nWidth; }
    int Height() const override { return m_nHeight; }

private:
    int m_nWidth;
    int m_nHeight;
};
} // namespace

void CFakeDecoder::SetSize(const std::string& name, int width, int height) {
    m_sizes[name] = {width, height};
}

PictureHandle CFakeDecoder::Decode(const std::string& path) {
    ++m_nDecodes;
    m_paths.push_back(path);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return nullptr;
    }
    const auto it = m_sizes.find(fs::path(path).filename().string());
    if (it == m_sizes.end()) {
        return nullptr;
    }
    return std::make_shared<CFakePicture>(it->second.first, it->second.second);
}

CCurrentDirScope::CCurrentDirScope(const std::string& folder) : m_previous(fs::current_path()) {
    fs::current_path(folder);
}

CCurrentDirScope::~CCurrentDirScope() {
    std::error_code ec;
    fs::current_path(m_previous, ec);
}
