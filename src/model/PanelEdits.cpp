// The panel document's operations on the panel itself: background, overall size, the picture,
// the waits and display order, and a finished drag.
#include "VelmoDoc.h"

bool CVelmoDoc::SetBackground(COLORREF color) {
    if (m_panel.m_crBack == color) {
        return false;
    }
    m_panel.m_crBack = color;
    Commit(false);
    return true;
}

bool CVelmoDoc::SetTotalSize(std::int32_t width, std::int32_t height) {
    if (width < kMinTotalWidth || width > kMaxTotalSize || height < kMinTotalHeight ||
        height > kMaxTotalSize) {
        return false;
    }
    CRect& total = m_panel.m_rcTotal;
    if (total.right == width && total.bottom == height) {
        return false;
    }
    total.right = width;
    total.bottom = height;
    Commit(false);
    return true;
}

EImportResult CVelmoDoc::ImportPicture(const std::string& path) {
    const EImportResult result = m_panel.m_image.Import(path, m_decoder);
    if (result == EImportResult::Imported) {
        Commit(true);
    }
    return result;
}

bool CVelmoDoc::EditPicture(const std::function<void(CPanelImage&)>& edit) {
    CPanelImage& image = m_panel.m_image;
    if (!image.HasPicture()) {
        return false;
    }
    const CRect before = image.m_rcBody;
    edit(image);
    if (image.m_rcBody == before) {
        return false;
    }
    Commit(false);
    return true;
}

bool CVelmoDoc::MovePicture(CPoint delta) {
    return EditPicture([delta](CPanelImage& image) { MovePictureBody(image, delta); });
}

bool CVelmoDoc::ResizePicture(int handle, CPoint to) {
    if (handle < HANDLE_TOP_RIGHT || handle > HANDLE_BOTTOM_LEFT) {
        return false;
    }
    return EditPicture([handle, to](CPanelImage& image) { ResizePictureBody(image, handle, to); });
}

bool CVelmoDoc::SetWait(CLayerRef layer, std::int32_t wait) {
    if (layer.m_eKind == ELayerKind::Balloon && !GetFuki(layer.m_nSlot)) {
        return false;
    }
    std::int32_t* field = LayerWaitField(m_panel, layer);
    if (!field || *field == wait) {
        return false;
    }
    *field = wait;
    Commit(false);
    return true;
}

bool CVelmoDoc::SetOrderAndWaits(const CPanel& edited) {
    bool changed = m_panel.m_nFirstWait != edited.m_nFirstWait ||
                   m_panel.m_image.m_nWait != edited.m_image.m_nWait;
    m_panel.m_nFirstWait = edited.m_nFirstWait;
    m_panel.m_image.m_nWait = edited.m_image.m_nWait;
    for (std::size_t i = 0; i < m_panel.m_fuki.size(); ++i) {
        CFuki& fuki = m_panel.m_fuki[i];
        const CFuki& other = edited.m_fuki[i];
        changed = changed || fuki.m_nOrder != other.m_nOrder || fuki.m_nWait != other.m_nWait;
        fuki.m_nOrder = other.m_nOrder;
        fuki.m_nWait = other.m_nWait;
    }
    // Changed orders and waits are one step of the history and a change to save, so that
    // closing the document asks before they are lost.
    if (changed) {
        Commit(false);
    }
    return changed;
}

bool CVelmoDoc::ApplyDrag(const CDrag& drag, CPoint current) {
    CPanel after = m_panel;
    if (!ApplyDragTo(after, drag, current)) {
        return false;
    }
    if (drag.m_nMode == DRAG_MOVE_PICTURE || drag.m_nMode == DRAG_SIZE_PICTURE) {
        const CRect body = after.m_image.m_rcBody;
        return EditPicture([body](CPanelImage& image) { image.m_rcBody = body; });
    }
    return CommitFuki(drag.m_nSlot, after.m_fuki[static_cast<std::size_t>(drag.m_nSlot)]);
}
