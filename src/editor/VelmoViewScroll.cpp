// The zoom and the scroll extent of the panel view.
#include <algorithm>

#include <QScrollBar>

#include "VelmoView.h"
#include "model/LayerItem.h"
#include "model/VelmoDoc.h"

bool CVelmoView::SetZoom(int zoom) {
    if (zoom < kMinZoom || zoom > kMaxZoom) {
        return false;
    }
    m_nZoom = zoom;
    UpdateScrollExtent();
    InvalidateView();
    return true;
}

void CVelmoView::UpdateScrollExtent() {
    const CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    m_rcShownTotal = doc->m_panel.m_rcTotal;
    CRect total = doc->m_panel.m_rcTotal;
    CLayerItem::ZoomRect(m_nZoom, total, 0, 0);
    SetScrollSizes(QSize(WrapSub(total.right, total.left), WrapSub(total.bottom, total.top)));
}

void CVelmoView::SetScrollSizes(QSize extent) {
    // A panel read from a file may hold any edges; a negative extent scrolls nowhere.
    m_sizeTotal = QSize(std::max(0, extent.width()), std::max(0, extent.height()));
    UpdateScrollBars();
}

void CVelmoView::UpdateScrollBars() {
    const QSize client = viewport()->size();
    const auto setUp = [](QScrollBar* bar, int extent, int client) {
        const int page = extent / 10;
        const int line = page / 10;
        bar->setRange(0, std::max(0, extent - client));
        bar->setPageStep(std::max(1, page));
        bar->setSingleStep(std::max(1, line));
    };
    setUp(horizontalScrollBar(), m_sizeTotal.width(), client.width());
    setUp(verticalScrollBar(), m_sizeTotal.height(), client.height());
    if (m_bLayingOutBars || !isVisible()) {
        return;
    }
    // A bar shown or hidden changes the client area, and with it the ranges. Qt would lay the
    // bars out for the new ranges later, from the event loop, after the view had painted once
    // with the bars of the old ranges: they are laid out now instead (setting a policy does
    // it), and the viewport's resize comes back here for the ranges of the new client area.
    // Two passes settle any change; the third only guards against a bar that keeps flipping.
    m_bLayingOutBars = true;
    for (int pass = 0; pass < 3; ++pass) {
        const QSize before = viewport()->size();
        setHorizontalScrollBarPolicy(horizontalScrollBarPolicy());
        if (viewport()->size() == before) {
            break;
        }
    }
    m_bLayingOutBars = false;
}

QPoint CVelmoView::GetScrollPosition() const {
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QPoint CVelmoView::ClientToView(QPoint client) const {
    return client + GetScrollPosition();
}

CRect CVelmoView::ViewToClient(const CRect& view) const {
    const QPoint scroll = GetScrollPosition();
    return CRect{WrapSub(view.left, scroll.x()), WrapSub(view.top, scroll.y()),
                 WrapSub(view.right, scroll.x()), WrapSub(view.bottom, scroll.y())};
}

void CVelmoView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    m_bImageValid = false;
}

void CVelmoView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    // The ranges set while hidden are laid out before the first paint.
    UpdateScrollBars();
}

void CVelmoView::scrollContentsBy(int, int) {
    // The image stays valid for its own scroll position: painting moves or renders it.
    viewport()->update();
}
