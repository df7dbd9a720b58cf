// Feeds arbitrary bytes to the panel reader: it must finish with a panel or an archive error,
// never crash, leak, or allocate beyond what the bytes can hold. Whatever was read must then
// survive the editor's geometry, order operations and a save.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "model/Archive.h"
#include "model/Panel.h"

namespace {

// A decoded picture of a size a real decoder could give.
class CSizedPicture : public CDecodedPicture {
public:
    CSizedPicture(int w, int h) : m_nWidth(w), m_nHeight(h) {}
    int Width() const override { return m_nWidth; }
    int Height() const override { return m_nHeight; }

private:
    int m_nWidth;
    int m_nHeight;
};

int PictureSide(std::int32_t v) {
    return static_cast<int>(1 + (static_cast<std::uint32_t>(v) % 65535));
}

void ExerciseGeometry(CPanel& panel) {
    for (CFuki& fuki : panel.m_fuki) {
        (void)fuki.GetTailBasePoint(0);
        (void)fuki.GetTailBasePoint(1);
        for (int zoom : {10, 50, 100, 1000}) {
            (void)fuki.HitTestHandle(zoom, {100, 100});
            (void)fuki.GetHandleRect(zoom, HANDLE_TAIL);
            CPoint p = fuki.m_ptTail;
            CLayerItem::UnzoomPoint(zoom, p);
        }
        fuki.Normalize();
        fuki.Move(10, 10);
    }
    // The picture's corners are fitted to a picture of a plausible size.
    panel.m_image.m_bitmap = std::make_shared<CSizedPicture>(PictureSide(panel.m_rcTotal.right),
                                                             PictureSide(panel.m_rcTotal.bottom));
    for (int corner = 1; corner <= 4; ++corner) {
        CRect r = panel.m_image.m_rcBody;
        panel.m_image.FitToAspect(r, corner);
        (void)panel.m_image.GetZoomedRect(1000, -5, 7);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CPanel panel;
    try {
        CArchive ar = CArchive::ForLoading({data, size});
        panel.Serialize(ar);
    } catch (const CArchiveException&) {
        return 0;
    }
    CPanel copy;
    copy.CopyFrom(panel);
    copy.SetFukiOrder(0, copy.m_fuki[0].m_nOrder);
    for (int how = ORDER_FORWARD; how <= ORDER_BACKMOST; ++how) {
        copy.ChangeFukiOrder(copy.FindFuki(1), how);
    }
    copy.AddFuki();
    ExerciseGeometry(copy);

    // A save of what was read reads back to the same bytes.
    CArchive out = CArchive::ForStoring();
    panel.Serialize(out);
    const std::vector<std::uint8_t> first = out.GetStoredBytes();
    CPanel again;
    CArchive in = CArchive::ForLoading(first);
    again.Serialize(in);
    CArchive out2 = CArchive::ForStoring();
    again.Serialize(out2);
    if (out2.GetStoredBytes() != first) {
        __builtin_trap();
    }
    return 0;
}
