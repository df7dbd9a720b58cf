#pragma once
// The frame of one document inside the main window: holds the document's view, shows the
// document's title in its caption, and asks about unsaved changes before it closes.
#include <QMdiSubWindow>

#include "CmdTarget.h"

namespace fw {

class CDocument;
class CView;

class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    explicit CMDIChildWnd(QWidget* parent = nullptr);
    ~CMDIChildWnd() override;

    // Puts the view into the frame and ties both to the document.
    void Attach(CDocument* document, CView* view);
    CDocument* GetDocument() const { return m_pDocument; }
    CView* GetView() const { return m_pView; }

    // Closes the frame without asking about unsaved changes (the caller asked already).
    void CloseWithoutAsking();

signals:
    // The frame is closing for good; its document goes with it.
    void frameClosing(CMDIChildWnd* frame);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateCaption();

    CDocument* m_pDocument = nullptr;
    CView* m_pView = nullptr;
    bool m_bClosingWithoutAsking = false;
    bool m_bClosed = false;
};

} // namespace fw
