#include "VelmoView.h"

#include "framework/FwDocument.h"
#include "model/VelmoDoc.h"

CVelmoView::CVelmoView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("ベルモ漫画"));
    setAccessibleDescription(QStringLiteral("ベルモ漫画の画像とふきだし"));
    viewport()->setAccessibleName(QStringLiteral("ベルモ漫画"));
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    RegisterPrintCommands();
    RegisterExportCommands();
    RegisterEditCommands();
    RegisterClipboardCommands();
    RegisterSlideshowCommands();
}

CVelmoView::~CVelmoView() = default;

CVelmoDoc* CVelmoView::GetDocument() const {
    fw::CDocument* shell = GetDocumentShell();
    return shell ? dynamic_cast<CVelmoDoc*>(&shell->Model()) : nullptr;
}

void CVelmoView::OnInitialUpdate() {
    InvalidateView();
    CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    // The first extent is the overall rectangle's right and bottom edges at 100 %.
    const CRect& total = doc->m_panel.m_rcTotal;
    SetScrollSizes(QSize(total.right, total.bottom));
    m_rcShownTotal = total;
    connect(GetDocumentShell(), &fw::CDocument::modelChanged, this, &CVelmoView::OnModelChanged,
            Qt::UniqueConnection);
}

void CVelmoView::OnModelChanged() {
    const CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    ValidateSelection();
    if (!(doc->m_panel.m_rcTotal == m_rcShownTotal)) {
        UpdateScrollExtent();
    }
    InvalidateView();
}

void CVelmoView::OnUpdate() {
    InvalidateView();
}
