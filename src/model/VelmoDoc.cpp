#include "VelmoDoc.h"

#include "Archive.h"
#include "FileSystem.h"

CVelmoDoc::CVelmoDoc(IPictureDecoder& decoder) : m_decoder(decoder) {
    ResetHistory();
}

void CVelmoDoc::ResetHistory() {
    m_history = CUndoHistory{};
    m_panel.m_bImageChanged = 1;
    m_history.Push(m_panel);
}

void CVelmoDoc::RecordChange(bool bSetModified, bool bImageChanged) {
    m_panel.m_bImageChanged = bImageChanged ? 1 : 0;
    m_history.Push(m_panel);
    if (bSetModified) {
        SetModifiedFlag(true);
    }
}

void CVelmoDoc::Commit(bool bImageChanged) {
    RecordChange(true, bImageChanged);
    NotifyChanged();
}

bool CVelmoDoc::Undo() {
    return Stepped(m_history.Undo(m_panel, m_decoder));
}

bool CVelmoDoc::Redo() {
    return Stepped(m_history.Redo(m_panel, m_decoder));
}

bool CVelmoDoc::Stepped(bool bStepped) {
    if (bStepped) {
        SetModifiedFlag(true);
        NotifyChanged();
    }
    return bStepped;
}

void CVelmoDoc::Serialize(CArchive& ar) {
    m_panel.Serialize(ar);
    if (ar.IsLoading()) {
        m_panel.m_image.Reload(m_decoder);
        ResetHistory();
    }
}

void CVelmoDoc::OnPathNameChanged() {
    m_panel.m_image.m_strHomeFolder = FolderOf(GetPathName());
}
