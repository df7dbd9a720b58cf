// The panel view's commands on balloons: add, delete, duplicate, the three colours, the detail
// settings, the dialogue text, the display order and the wait. All but adding act only on a
// selected balloon.
#include "VelmoView.h"
#include "ViewCommands.h"
#include "dialogs/FukiPropDialog.h"
#include "dialogs/FukiTextDialog.h"
#include "dialogs/WaitTimeDialog.h"
#include "framework/Prompter.h"
#include "model/VelmoDoc.h"

namespace editcmd {

namespace {

// The selected balloon, or null when no balloon is selected.
CFuki* SelectedFuki(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    const int slot = view.GetSelectedFuki();
    return doc && slot >= 0 ? &doc->m_panel.m_fuki[static_cast<std::size_t>(slot)] : nullptr;
}

void Changed(CVelmoView& view) {
    view.GetDocument()->RecordChange(true, false);
    view.InvalidateView();
}

void ChooseFukiColor(CVelmoView& view, COLORREF CFuki::*field) {
    CFuki* fuki = SelectedFuki(view);
    if (!fuki) {
        return;
    }
    COLORREF color = fuki->*field;
    if (!fw::Prompter().ChooseColor(view.window(), color)) {
        return;
    }
    fuki->*field = color;
    Changed(view);
}

} // namespace

void AddFuki(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc) {
        return;
    }
    // The document records the new balloon; with all ten slots in use nothing happens.
    const int slot = doc->AddFuki();
    if (slot < 0) {
        return;
    }
    view.m_nSelected = slot;
    view.InvalidateView();
}

void DeleteFuki(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    const int slot = view.GetSelectedFuki();
    if (!doc || slot < 0) {
        return;
    }
    doc->DeleteFuki(slot);
    // The slot is free now and drawn nowhere: nothing stays selected.
    view.m_nSelected = CVelmoView::SEL_NONE;
    view.InvalidateView();
}

void DuplicateFuki(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    const int source = view.GetSelectedFuki();
    if (!doc || source < 0) {
        return;
    }
    const int slot = doc->DuplicateFuki(source);
    if (slot < 0) {
        return;
    }
    view.m_nSelected = slot;
    view.InvalidateView();
}

void FillColor(CVelmoView& view) {
    ChooseFukiColor(view, &CFuki::m_crFill);
}

void BorderColor(CVelmoView& view) {
    ChooseFukiColor(view, &CFuki::m_crBorder);
}

void TextColor(CVelmoView& view) {
    ChooseFukiColor(view, &CFuki::m_crText);
}

void FukiProperties(CVelmoView& view) {
    CFuki* fuki = SelectedFuki(view);
    if (!fuki) {
        return;
    }
    CFukiPropDialog dialog(view.window());
    dialog.m_fuki.CopyFrom(*fuki);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The display position is not the dialog's to change.
    fuki->CopyContentFrom(dialog.m_fuki);
    fuki->Normalize();
    Changed(view);
}

void FukiText(CVelmoView& view) {
    CFuki* fuki = SelectedFuki(view);
    if (!fuki) {
        return;
    }
    CFukiTextDialog dialog(view.window());
    dialog.m_strText = fuki->m_strText;
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    fuki->m_strText = dialog.m_strText;
    Changed(view);
}

void ChangeOrder(CVelmoView& view, int how) {
    CVelmoDoc* doc = view.GetDocument();
    const int slot = view.GetSelectedFuki();
    if (!doc || slot < 0) {
        return;
    }
    // The document records the order change itself.
    doc->ChangeFukiOrder(slot, how);
    view.InvalidateView();
}

void FukiWait(CVelmoView& view) {
    CFuki* fuki = SelectedFuki(view);
    if (!fuki) {
        return;
    }
    CWaitTimeDialog dialog(view.window());
    dialog.m_nWaitTime = fuki->m_nWait;
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    fuki->m_nWait = dialog.m_nWaitTime;
    Changed(view);
}

} // namespace editcmd
