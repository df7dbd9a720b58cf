// The panel view's commands on the whole panel: picture import, background colour, overall
// size, zoom, the slideshow settings of the panel, the first and the picture's wait, undo and
// redo.
#include <QFileInfo>

#include "VelmoView.h"
#include "ViewCommands.h"
#include "dialogs/FukiOrderDialog.h"
#include "dialogs/TotalSizeDialog.h"
#include "dialogs/WaitTimeDialog.h"
#include "dialogs/ZoomDialog.h"
#include "framework/MessageBox.h"
#include "framework/Prompter.h"
#include "model/VelmoDoc.h"

namespace editcmd {

namespace {

// What the order dialog can change: the waits of every layer and the display positions.
bool SameOrderAndWaits(const CPanel& a, const CPanel& b) {
    if (a.m_nFirstWait != b.m_nFirstWait || a.m_image.m_nWait != b.m_image.m_nWait) {
        return false;
    }
    for (std::size_t i = 0; i < a.m_fuki.size(); ++i) {
        if (a.m_fuki[i].m_nOrder != b.m_fuki[i].m_nOrder ||
            a.m_fuki[i].m_nWait != b.m_fuki[i].m_nWait) {
            return false;
        }
    }
    return true;
}

// Asks for one wait; on OK stores it, records and repaints.
void EditWait(CVelmoView& view, std::int32_t& wait) {
    CWaitTimeDialog dialog(view.window());
    dialog.m_nWaitTime = wait;
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    wait = dialog.m_nWaitTime;
    view.GetDocument()->RecordChange(true, false);
    view.InvalidateView();
}

} // namespace

void ImportPicture(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc) {
        return;
    }
    fw::FileDialogRequest request;
    request.filters = {QStringLiteral("Jpeg形式 (*.jpg)"), QStringLiteral("ビットマップ (*.bmp)"),
                       QStringLiteral("すべての書類 (*.*)")};
    const QString path = fw::Prompter().ChooseFile(view.window(), request);
    if (path.isEmpty()) {
        return;
    }
    switch (doc->m_panel.m_image.Import(path.toStdString())) {
    case EImportResult::Imported:
        doc->RecordChange(true, true);
        view.InvalidateView();
        break;
    case EImportResult::Undecodable:
        // The panel is left exactly as it was; nothing is recorded.
        fw::ProgramMessage(view.window(), QStringLiteral("画像を読み込めませんでした。"),
                           QStringLiteral("エラー"));
        break;
    case EImportResult::NameNotStorable:
        // The picture is found again by its name only, so a name the panel file cannot hold
        // is refused before anything changes.
        fw::ProgramMessage(view.window(),
                           QStringLiteral("ファイル名に保存できない文字が含まれているため、"
                                          "画像を読み込めませんでした。\n%1")
                               .arg(QFileInfo(path).fileName()),
                           QStringLiteral("エラー"));
        break;
    }
}

void BackColor(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc) {
        return;
    }
    COLORREF color = doc->m_panel.m_crBack;
    if (!fw::Prompter().ChooseColor(view.window(), color)) {
        return;
    }
    doc->m_panel.m_crBack = color;
    doc->RecordChange(true, false);
    view.InvalidateView();
}

void TotalSize(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc) {
        return;
    }
    CRect& total = doc->m_panel.m_rcTotal;
    CTotalSizeDialog dialog(view.window());
    dialog.m_nWidth = total.right;
    dialog.m_nHeight = total.bottom;
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The left and top edges stay as they are.
    total.right = dialog.m_nWidth;
    total.bottom = dialog.m_nHeight;
    doc->RecordChange(true, false);
    view.UpdateScrollExtent();
    view.InvalidateView();
}

void Zoom(CVelmoView& view) {
    CZoomDialog dialog(view.window());
    dialog.m_nRate = view.GetZoom();
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The zoom belongs to the view: the document is neither changed nor recorded.
    view.SetZoom(dialog.m_nRate);
}

void PanelSettings(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc) {
        return;
    }
    CFukiOrderDialog dialog(view.window());
    dialog.m_panel.CopyFrom(doc->m_panel);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const bool changed = !SameOrderAndWaits(dialog.m_panel, doc->m_panel);
    doc->m_panel.CopyFrom(dialog.m_panel);
    // Changed orders and waits are one step of the history and a change to save, so that
    // closing the document asks before they are lost.
    if (changed) {
        doc->RecordChange(true, false);
    }
    view.InvalidateView();
}

void FirstWait(CVelmoView& view) {
    if (CVelmoDoc* doc = view.GetDocument()) {
        EditWait(view, doc->m_panel.m_nFirstWait);
    }
}

void PictureWait(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc || view.m_nSelected != CVelmoView::SEL_PICTURE) {
        return;
    }
    EditWait(view, doc->m_panel.m_image.m_nWait);
}

namespace {

void StepHistory(CVelmoView& view, bool undo) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc) {
        return;
    }
    // The panel now differs from what was last saved, so a step marks the document modified:
    // an undo after saving would otherwise be lost without a question at closing.
    if (undo ? doc->Undo() : doc->Redo()) {
        doc->SetModifiedFlag(true);
    }
    // A selected balloon the step took away is no longer selected.
    view.ValidateSelection();
    // The step may give the panel back another overall size: the view scrolls over that one.
    view.UpdateScrollExtent();
    view.InvalidateView();
}

} // namespace

void Undo(CVelmoView& view) {
    StepHistory(view, true);
}

void Redo(CVelmoView& view) {
    StepHistory(view, false);
}

} // namespace editcmd
