// Feeds arbitrary bytes to the show reader: a show or an archive error, never more than 100
// names, never a crash.
#include <cstdint>
#include <cstdlib>

#include "model/Archive.h"
#include "model/ShowData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CShowData show;
    try {
        CArchive ar = CArchive::ForLoading({data, size}, "/shows/fuzz.vls");
        show.Serialize(ar);
        if (show.m_nCount > kMaxShowNames) {
            std::abort();
        }
        CArchive out = CArchive::ForStoring();
        show.Serialize(out);
    } catch (const CArchiveException&) {
    }
    return 0;
}
