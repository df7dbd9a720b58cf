// Feeds arbitrary bytes to the panel reader: it must finish with a panel or an archive error,
// never crash, leak, or allocate beyond what the bytes can hold.
#include <cstdint>

#include "model/Archive.h"
#include "model/Panel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CPanel panel;
    try {
        CArchive ar = CArchive::ForLoading({data, size});
        panel.Serialize(ar);
        // Whatever was read must survive the editor's order operations and a save.
        panel.SetFukiOrder(0, panel.m_fuki[0].m_nOrder);
        panel.ChangeFukiOrder(panel.FindFuki(1), ORDER_FORWARD);
        for (const CFuki& fuki : panel.m_fuki) {
            (void)fuki.GetTailBasePoint(0);
            (void)fuki.GetTailBasePoint(1);
            (void)fuki.HitTestHandle(50, {100, 100});
        }
        CArchive out = CArchive::ForStoring();
        panel.Serialize(out);
    } catch (const CArchiveException&) {
    }
    return 0;
}
