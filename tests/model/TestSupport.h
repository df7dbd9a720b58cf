#pragma once
// Shared helpers of the model tests: temporary folders, file bytes, hand-built archives, and a
// picture decoder that needs no image library.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/Panel.h"
#include "model/PictureDecoder.h"
#include "model/VelmoDoc.h"

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed with its contents afterwards.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    // The folder itself, ending with '/', or a path inside it.
    std::string Path(const std::string& name = {}) const;

private:
    std::filesystem::path m_path;
};

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
std::vector<std::string> ListFolder(const std::string& folder);

// Little-endian pieces for hand-made files.
void PutInt32(Bytes& out, std::int32_t v);
void PutBytes(Bytes& out, std::initializer_list<int> bytes);
void PutText(Bytes& out, const std::string& text);

Bytes StorePanel(CPanel& panel);
// Loads bytes into a freshly constructed panel; throws what the archive throws.
void LoadPanel(CPanel& panel, const Bytes& bytes, const std::string& filePath = {});
// The bytes of a default new document: a panel record with all ten slots free.
Bytes DefaultPanelBytes();

// Decodes a file when it exists and its bare name has a size registered; counts every decode
// and remembers the paths it was asked for.
class CFakeDecoder : public IPictureDecoder {
public:
    void SetSize(const std::string& name, int width, int height);
    PictureHandle Decode(const std::string& path) override;

    int m_nDecodes = 0;
    std::vector<std::string> m_paths;

private:
    std::map<std::string, std::pair<int, int>> m_sizes;
};

// A panel document with a fake decoder of its own, which decodes nothing until a size is
// registered with Decoder(). The decoder is a base, so that it exists before the document.
class CFakeDecoderHolder {
protected:
    CFakeDecoder m_fakeDecoder;
};
class CTestPanelDoc : private CFakeDecoderHolder, public CVelmoDoc {
public:
    CTestPanelDoc() : CVelmoDoc(m_fakeDecoder) {}
    CFakeDecoder& Decoder() { return m_fakeDecoder; }
};

// Makes a folder the process's current directory for the lifetime of the scope.
class CCurrentDirScope {
public:
    explicit CCurrentDirScope(const std::string& folder);
    ~CCurrentDirScope();

private:
    std::filesystem::path m_previous;
};
