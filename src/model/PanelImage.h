#pragma once
// The picture layer of a panel: which photograph, where it is stretched, and its decoded
// picture (memory only, never copied or saved).
#include <string>

#include "LayerItem.h"
#include "PictureDecoder.h"

enum EPictureKind : int { KIND_NONE = 0, KIND_JPEG = 1, KIND_BMP = 2 };

enum class EImportResult {
    Imported,
    Undecodable,    // the file could not be decoded: nothing changed
    NameNotStorable // the file name holds characters code page 932 cannot store: nothing changed
};

class CPanelImage : public CLayerItem {
public:
    PictureHandle m_bitmap; // the decoded picture, or null
    std::string m_strPath;  // full path at import (code page 932); saved, a fallback for lookup
    std::string m_strName;  // bare file name (code page 932); how the picture is found again
    std::int32_t m_nKind = KIND_NONE;
    // Folder (UTF-8, ending with '/') of the file this panel belongs to; where the picture is
    // looked for first. Memory only, like the decoded picture.
    std::string m_strHomeFolder;

    CPanelImage();

    void Clear();
    void CopyFrom(const CPanelImage& other);
    bool HasPicture() const { return m_bitmap != nullptr; }

    // Replaces the picture with the file at a file-system path (UTF-8), decoded by decoder, and
    // places it 300 pixels wide at (50, 50). On failure the layer is left exactly as it was.
    EImportResult Import(const std::string& path, IPictureDecoder& decoder);
    // Decodes the picture named by m_strName again, by the name's last component only: in the
    // home folder, then at the recorded full path, then in the current directory, each only as
    // a regular file. Without a match the layer has no picture.
    bool Reload(IPictureDecoder& decoder);
    // The file-system path Reload would decode, or "" when no candidate exists.
    std::string ResolvePicturePath() const;

    // Corrects a dragged rectangle to the picture's proportions, keeping the opposite corner.
    void FitToAspect(CRect& rect, int corner) const;

    // Reads or writes the layer's fields. Loading sets the home folder from the archive's file
    // and drops the decoded picture: the reader decodes it (Reload) once the panel is read.
    void Serialize(CArchive& ar);
};

// Kind judged from the extension, compared case-sensitively; -1 when the extension says nothing.
int PictureKindFromFileName(const std::string& name);
