#include "VelmoShowDoc.h"

EShowListEdit CVelmoShowDoc::InsertName(int before, const std::string& name) {
    return Committed(m_show.InsertName(before, name));
}

EShowListEdit CVelmoShowDoc::RemoveName(int index) {
    return Committed(m_show.RemoveName(index));
}

EShowListEdit CVelmoShowDoc::Committed(EShowListEdit outcome) {
    if (outcome == EShowListEdit::Done) {
        SetModifiedFlag(true);
        NotifyChanged();
    }
    return outcome;
}

EShowPlayCheck CVelmoShowDoc::CheckPlay() const {
    if (IsModified()) {
        return EShowPlayCheck::Unsaved;
    }
    return m_show.IsEmpty() ? EShowPlayCheck::Empty : EShowPlayCheck::Playable;
}

void CVelmoShowDoc::Serialize(CArchive& ar) {
    m_show.Serialize(ar);
}
