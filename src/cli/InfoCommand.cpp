#include "InfoCommand.h"

#include "JsonWriter.h"
#include "OutcomeText.h"
#include "model/Archive.h"
#include "model/FileSystem.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"
#include "render/PictureHeader.h"

namespace cli {

namespace {

bool IsShowPath(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return ext == ".vls";
}

// The version of this description's layout: 2 added "version" and the "#RRGGBB" colours.
constexpr int kInfoSchemaVersion = 2;

// A stored colour (0x00BBGGRR) as its number and, under the key + "RGB", as "#RRGGBB".
void WriteColor(CJsonWriter& json, const char* key, COLORREF color) {
    json.Int(key, color);
    static const char* const kHex = "0123456789ABCDEF";
    std::string text = "#";
    for (const unsigned channel : {color & 0xFFU, (color >> 8) & 0xFFU, (color >> 16) & 0xFFU}) {
        text += kHex[channel >> 4];
        text += kHex[channel & 0xFU];
    }
    json.String((std::string(key) + "RGB").c_str(), text);
}

void WriteRect(CJsonWriter& json, const char* key, const CRect& r) {
    json.BeginObject(key);
    json.Int("left", r.left);
    json.Int("top", r.top);
    json.Int("right", r.right);
    json.Int("bottom", r.bottom);
    json.EndObject();
}

// The layer part, in the order the file stores it.
void WriteLayer(CJsonWriter& json, const CLayerItem& layer) {
    WriteRect(json, "m_rcBody", layer.m_rcBody);
    WriteColor(json, "m_crBorder", layer.m_crBorder);
    json.Int("m_nBorderWidth", layer.m_nBorderWidth);
    json.Int("m_nBorderHeight", layer.m_nBorderHeight);
    json.Int("m_nWait", layer.m_nWait);
}

void WritePicture(CJsonWriter& json, const CPanelImage& image) {
    json.BeginObject("picture");
    WriteLayer(json, image);
    json.String("m_strName", Cp932ToUtf8(image.m_strName));
    json.String("m_strPath", Cp932ToUtf8(image.m_strPath));
    json.Int("m_nKind", image.m_nKind);
    // Not stored: whether the picture was found and its header read, and its size.
    json.Bool("decoded", image.HasPicture());
    if (image.HasPicture()) {
        json.Int("width", image.m_bitmap->Width());
        json.Int("height", image.m_bitmap->Height());
    }
    json.EndObject();
}

void WriteFuki(CJsonWriter& json, int slot, const CFuki& fuki) {
    json.BeginObject();
    json.Int("slot", slot);
    WriteLayer(json, fuki);
    json.Int("m_nReserved2", fuki.m_nReserved2);
    WriteColor(json, "m_crFill", fuki.m_crFill);
    json.Int("m_nTailSide", fuki.m_nTailSide);
    json.Int("m_nTailBase1", fuki.m_nTailBase1);
    json.Int("m_nTailBase2", fuki.m_nTailBase2);
    json.BeginObject("m_ptTail");
    json.Int("x", fuki.m_ptTail.x);
    json.Int("y", fuki.m_ptTail.y);
    json.EndObject();
    json.Int("m_nOrder", fuki.m_nOrder);
    json.Int("m_nCornerWidth", fuki.m_nCornerWidth);
    json.Int("m_nCornerHeight", fuki.m_nCornerHeight);
    // Converted and written in pieces: a text may be as long as the file allows.
    json.BeginString("m_strText");
    Cp932ToUtf8Pieces(fuki.m_strText, [&](std::string_view piece) { json.StringPiece(piece); });
    json.EndString();
    WriteColor(json, "m_crText", fuki.m_crText);
    json.String("m_strFontFace", Cp932ToUtf8(fuki.m_strFontFace));
    json.Int("m_nFontSize", fuki.m_nFontSize);
    json.Int("m_nReserved1", fuki.m_nReserved1);
    json.EndObject();
}

int InfoOfPanel(const std::string& path, std::ostream& out, std::ostream& err) {
    // The picture's size is all the report tells of it: read from its header, nothing decoded.
    render::CPictureHeaderReader headerReader;
    CVelmoDoc doc(headerReader);
    const EDocOutcome outcome = doc.OnOpenDocument(path);
    if (outcome != EDocOutcome::Opened) {
        err << "velmo: " << OpenFailureText(outcome, path) << '\n';
        return 1;
    }
    const CPanel& panel = doc.m_panel;
    CJsonWriter json(out);
    json.BeginObject();
    json.String("type", "panel");
    json.Int("version", kInfoSchemaVersion);
    json.String("file", path);
    json.BeginObject("header");
    json.Int("m_nVersion", panel.m_nVersion);
    json.Int("m_nFirstWait", panel.m_nFirstWait);
    WriteRect(json, "m_rcTotal", panel.m_rcTotal);
    WriteColor(json, "m_crBack", panel.m_crBack);
    json.EndObject();
    WritePicture(json, panel.m_image);
    json.BeginArray("slots");
    for (int slot = 0; slot < kFukiSlots; ++slot) {
        WriteFuki(json, slot, panel.m_fuki[static_cast<std::size_t>(slot)]);
    }
    json.EndArray();
    json.EndObject();
    json.Finish();
    return 0;
}

int InfoOfShow(const std::string& path, std::ostream& out, std::ostream& err) {
    CVelmoShowDoc doc;
    const EDocOutcome outcome = doc.OnOpenDocument(path);
    if (outcome != EDocOutcome::Opened) {
        err << "velmo: " << OpenFailureText(outcome, path) << '\n';
        return 1;
    }
    const CShowData& show = doc.m_show;
    CJsonWriter json(out);
    json.BeginObject();
    json.String("type", "show");
    json.Int("version", kInfoSchemaVersion);
    json.String("file", path);
    json.Int("m_nHeader", show.m_nHeader);
    json.Int("m_nCount", show.m_nCount);
    json.Int("m_nReserved", show.m_nReserved);
    json.BeginArray("m_strNames");
    for (int i = 0; i < show.m_nCount && i < kMaxShowNames; ++i) {
        json.String(nullptr, Cp932ToUtf8(show.m_strNames[static_cast<std::size_t>(i)]));
    }
    json.EndArray();
    // An empty show file reads nothing, so its folder is the file's own.
    json.String("m_strFolder", show.m_strFolder.empty() ? FolderOf(path) : show.m_strFolder);
    json.EndObject();
    json.Finish();
    return 0;
}

} // namespace

int RunInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    return IsShowPath(path) ? InfoOfShow(path, out, err) : InfoOfPanel(path, out, err);
}

} // namespace cli
