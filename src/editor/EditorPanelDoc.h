#pragma once
// The panel document as the editor opens it. Its picture is decoded once, at the size the view
// first draws it (zoom 100 on the primary screen's density), and that decode also proves that
// the file decodes; reading the panel alone would first decode the picture's smallest step to
// prove it, and the view's first paint would then decode it again at the size it draws.
// A picture that does not decode is left out, as it was before: the panel opens without it.
#include "model/VelmoDoc.h"

class CEditorPanelDoc final : public CVelmoDoc {
public:
    using CVelmoDoc::CVelmoDoc;

    void Serialize(CArchive& ar) override;
};
