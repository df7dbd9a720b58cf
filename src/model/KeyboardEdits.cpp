#include "KeyboardEdits.h"

#include "VelmoDoc.h"

namespace {

CRect Moved(const CRect& r, CPoint d) {
    return CRect{WrapAdd(r.left, d.x), WrapAdd(r.top, d.y), WrapAdd(r.right, d.x),
                 WrapAdd(r.bottom, d.y)};
}

bool NudgePicture(CPanelImage& image, const SNudge& nudge) {
    if (!image.HasPicture()) {
        return false;
    }
    const CRect before = image.m_rcBody;
    if (!nudge.bResize) {
        image.m_rcBody = Moved(before, nudge.ptDelta);
    } else {
        CRect r = before;
        r.right = WrapAdd(r.right, nudge.ptDelta.x);
        r.bottom = WrapAdd(r.bottom, nudge.ptDelta.y);
        image.FitToAspect(r, HANDLE_BOTTOM_RIGHT);
        image.m_rcBody = r;
        image.NormalizeRect();
    }
    return !(image.m_rcBody == before);
}

bool NudgeFuki(CFuki& fuki, const SNudge& nudge) {
    if (!fuki.IsInUse()) {
        return false;
    }
    const CFuki before = fuki;
    if (!nudge.bResize) {
        fuki.m_rcBody = Moved(fuki.m_rcBody, nudge.ptDelta);
    } else {
        fuki.m_rcBody.right = WrapAdd(fuki.m_rcBody.right, nudge.ptDelta.x);
        fuki.m_rcBody.bottom = WrapAdd(fuki.m_rcBody.bottom, nudge.ptDelta.y);
        fuki.Normalize();
    }
    return !(fuki.m_rcBody == before.m_rcBody) || fuki.m_nTailBase1 != before.m_nTailBase1 ||
           fuki.m_nTailBase2 != before.m_nTailBase2;
}

} // namespace

bool ApplyNudge(CPanel& panel, const SNudge& nudge) {
    if (nudge.nTarget == kNudgePicture) {
        return NudgePicture(panel.m_image, nudge);
    }
    if (nudge.nTarget < 0 || nudge.nTarget >= kFukiSlots) {
        return false;
    }
    return NudgeFuki(panel.m_fuki[static_cast<std::size_t>(nudge.nTarget)], nudge);
}

bool CVelmoDoc::Nudge(const SNudge& nudge, int key, std::int64_t nowMs) {
    return m_repeat.Apply(m_history, key, nowMs, [&] {
        if (!ApplyNudge(m_panel, nudge)) {
            return false;
        }
        Commit(false);
        return true;
    });
}
