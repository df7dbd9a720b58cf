#pragma once
// The show document: one show record, changed through the operations below, each of which marks
// the document modified and announces the change when it changed anything.
#include "Document.h"
#include "ShowData.h"

// Whether a show document may be played now.
enum class EShowPlayCheck {
    Playable,
    Unsaved, // the show is played from its file: changes must be saved first
    Empty,   // no names to play
};

class CVelmoShowDoc : public CDocumentBase {
public:
    CShowData m_show;

    EShowListEdit InsertName(int before, const std::string& name);
    EShowListEdit RemoveName(int index);
    EShowPlayCheck CheckPlay() const;

    void Serialize(CArchive& ar) override;

private:
    EShowListEdit Committed(EShowListEdit outcome);
};
