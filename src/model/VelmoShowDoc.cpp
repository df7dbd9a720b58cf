#include "VelmoShowDoc.h"

void CVelmoShowDoc::Serialize(CArchive& ar) {
    m_show.Serialize(ar);
}
