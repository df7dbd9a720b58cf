// Feeds arbitrary bytes to the show reader: a show or an archive error, never more than 100
// names, never a crash; a saved show reads back to the same bytes.
#include <cstdint>

#include "model/Archive.h"
#include "model/ShowData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CShowData show;
    try {
        CArchive ar = CArchive::ForLoading({data, size}, "/shows/fuzz.vls");
        show.Serialize(ar);
    } catch (const CArchiveException&) {
        return 0;
    }
    if (show.m_nCount > kMaxShowNames || show.m_strFolder != "/shows/") {
        __builtin_trap();
    }
    CArchive out = CArchive::ForStoring();
    show.Serialize(out);
    CShowData again;
    CArchive in = CArchive::ForLoading(out.GetStoredBytes());
    again.Serialize(in);
    CArchive out2 = CArchive::ForStoring();
    again.Serialize(out2);
    if (out2.GetStoredBytes() != out.GetStoredBytes()) {
        __builtin_trap();
    }
    return 0;
}
