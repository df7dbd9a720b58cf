#pragma once
// The framework side of a view: the window that shows a document inside its frame. Views are
// widgets of any kind; this mix-in gives them their document, the initial update and the
// command handlers they declare.
#include "CmdTarget.h"

class QWidget;

namespace fw {

class CDocument;

class CView : public CCmdTarget {
public:
    ~CView() override = default;

    virtual QWidget* GetWidget() = 0;
    // Once, when the view is first shown with its document.
    virtual void OnInitialUpdate() {}
    // The document changed through another route: show it afresh.
    virtual void OnUpdate() {}

    CDocument* GetDocumentShell() const { return m_pDocument; }
    void SetDocumentShell(CDocument* document) { m_pDocument = document; }

private:
    CDocument* m_pDocument = nullptr;
};

} // namespace fw
