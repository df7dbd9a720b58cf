// The panel view's commands on balloons: add, delete, duplicate, the three colours, the detail
// settings, the dialogue text, the display order and the wait. All but adding act only on a
// selected balloon. Each asks for what it needs and hands it to one document operation; the
// document records the change and the view repaints on its notification.
#include "VelmoView.h"
#include "ViewCommands.h"
#include "dialogs/FukiPropDialog.h"
#include "dialogs/FukiTextDialog.h"
#include "dialogs/WaitTimeDialog.h"
#include "framework/Prompter.h"
#include "model/VelmoDoc.h"

namespace editcmd {

namespace {

// The selected balloon with its document and slot, or a null balloon when none is selected.
struct CSelectedFuki {
    CVelmoDoc* m_pDoc = nullptr;
    int m_nSlot = -1;
    const CFuki* m_pFuki = nullptr;
};

CSelectedFuki SelectedFuki(CVelmoView& view) {
    CSelectedFuki selected;
    selected.m_pDoc = view.GetDocument();
    selected.m_nSlot = view.GetSelectedFuki();
    if (selected.m_pDoc) {
        selected.m_pFuki = selected.m_pDoc->GetFuki(selected.m_nSlot);
    }
    return selected;
}

void ChooseFukiColor(CVelmoView& view, EFukiColor which, COLORREF CFuki::*field) {
    const CSelectedFuki selected = SelectedFuki(view);
    if (!selected.m_pFuki) {
        return;
    }
    COLORREF color = selected.m_pFuki->*field;
    if (!fw::Prompter().ChooseColor(view.window(), color)) {
        return;
    }
    selected.m_pDoc->SetFukiColor(selected.m_nSlot, which, color);
}

} // namespace

void AddFuki(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc) {
        return;
    }
    // With all ten slots in use nothing happens.
    const int slot = doc->AddFuki();
    if (slot >= 0) {
        view.m_nSelected = slot;
    }
}

void DeleteFuki(CVelmoView& view) {
    const CSelectedFuki selected = SelectedFuki(view);
    if (selected.m_pFuki) {
        // The slot is free afterwards and drawn nowhere: the view drops the selection.
        selected.m_pDoc->DeleteFuki(selected.m_nSlot);
    }
}

void DuplicateFuki(CVelmoView& view) {
    const CSelectedFuki selected = SelectedFuki(view);
    if (!selected.m_pFuki) {
        return;
    }
    const int slot = selected.m_pDoc->DuplicateFuki(selected.m_nSlot);
    if (slot >= 0) {
        view.m_nSelected = slot;
    }
}

void FillColor(CVelmoView& view) {
    ChooseFukiColor(view, EFukiColor::Fill, &CFuki::m_crFill);
}

void BorderColor(CVelmoView& view) {
    ChooseFukiColor(view, EFukiColor::Border, &CFuki::m_crBorder);
}

void TextColor(CVelmoView& view) {
    ChooseFukiColor(view, EFukiColor::Text, &CFuki::m_crText);
}

void FukiProperties(CVelmoView& view) {
    const CSelectedFuki selected = SelectedFuki(view);
    if (!selected.m_pFuki) {
        return;
    }
    CFukiPropDialog dialog(view.window());
    dialog.m_fuki.CopyFrom(*selected.m_pFuki);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The display position is not the dialog's to change; the document keeps it.
    selected.m_pDoc->SetFukiStyle(selected.m_nSlot, dialog.m_fuki);
}

void FukiText(CVelmoView& view) {
    const CSelectedFuki selected = SelectedFuki(view);
    if (!selected.m_pFuki) {
        return;
    }
    CFukiTextDialog dialog(view.window());
    dialog.m_strText = selected.m_pFuki->m_strText;
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    selected.m_pDoc->SetFukiText(selected.m_nSlot, dialog.m_strText);
}

void ChangeOrder(CVelmoView& view, int how) {
    const CSelectedFuki selected = SelectedFuki(view);
    if (selected.m_pFuki) {
        selected.m_pDoc->ChangeFukiOrder(selected.m_nSlot, how);
    }
}

void FukiWait(CVelmoView& view) {
    const CSelectedFuki selected = SelectedFuki(view);
    if (selected.m_pFuki) {
        EditWait(view, CLayerRef{ELayerKind::Balloon, selected.m_nSlot});
    }
}

} // namespace editcmd
