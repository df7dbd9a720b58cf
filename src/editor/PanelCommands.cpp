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

void EditWait(CVelmoView& view, CLayerRef layer) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc) {
        return;
    }
    CWaitTimeDialog dialog(view.window());
    dialog.m_nWaitTime = LayerWait(doc->m_panel, layer);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    doc->SetWait(layer, dialog.m_nWaitTime);
}

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
    switch (doc->ImportPicture(path.toStdString())) {
    case EImportResult::Imported:
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
    doc->SetBackground(color);
}

void TotalSize(CVelmoView& view) {
    CVelmoDoc* doc = view.GetDocument();
    if (!doc) {
        return;
    }
    const CRect& total = doc->m_panel.m_rcTotal;
    CTotalSizeDialog dialog(view.window());
    dialog.m_nWidth = total.right;
    dialog.m_nHeight = total.bottom;
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The left and top edges stay as they are; the view follows the new size.
    doc->SetTotalSize(dialog.m_nWidth, dialog.m_nHeight);
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
    doc->SetOrderAndWaits(dialog.m_panel);
}

void FirstWait(CVelmoView& view) {
    EditWait(view, CLayerRef{ELayerKind::Background, -1});
}

void PictureWait(CVelmoView& view) {
    if (view.m_nSelected == CVelmoView::SEL_PICTURE) {
        EditWait(view, CLayerRef{ELayerKind::Picture, -1});
    }
}

// A step marks the document modified and tells the view, which drops a selection the step took
// away and scrolls over the overall size it brings back.
void Undo(CVelmoView& view) {
    if (CVelmoDoc* doc = view.GetDocument()) {
        doc->Undo();
    }
}

void Redo(CVelmoView& view) {
    if (CVelmoDoc* doc = view.GetDocument()) {
        doc->Redo();
    }
}

} // namespace editcmd
