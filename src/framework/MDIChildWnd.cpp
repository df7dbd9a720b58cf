#include "MDIChildWnd.h"

#include <QCloseEvent>

#include "FwDocument.h"
#include "View.h"

namespace fw {

CMDIChildWnd::CMDIChildWnd(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

CMDIChildWnd::~CMDIChildWnd() = default;

void CMDIChildWnd::Attach(CDocument* document, CView* view) {
    m_pDocument = document;
    m_pView = view;
    if (m_pView) {
        setWidget(m_pView->GetWidget());
    }
    if (m_pDocument) {
        m_pDocument->SetFrameAndView(this, view);
        connect(m_pDocument, &CDocument::titleChanged, this, [this] { UpdateCaption(); });
    }
    UpdateCaption();
}

void CMDIChildWnd::UpdateCaption() {
    setWindowTitle(m_pDocument ? m_pDocument->GetTitle() : QString());
}

void CMDIChildWnd::CloseWithoutAsking() {
    m_bClosingWithoutAsking = true;
    close();
    m_bClosingWithoutAsking = false;
}

void CMDIChildWnd::closeEvent(QCloseEvent* event) {
    if (m_bClosed) {
        event->accept();
        return;
    }
    if (!m_bClosingWithoutAsking && m_pDocument && !m_pDocument->SaveModified()) {
        event->ignore();
        return;
    }
    m_bClosed = true;
    QMdiSubWindow::closeEvent(event);
    emit frameClosing(this);
}

} // namespace fw
