#pragma once
// The show document: one show record.
#include "Document.h"
#include "ShowData.h"

class CVelmoShowDoc : public CDocumentBase {
public:
    CShowData m_show;
    void Serialize(CArchive& ar) override;
};
