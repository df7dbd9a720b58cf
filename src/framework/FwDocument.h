#pragma once
// The framework side of a document: the model document it owns, its template, its frame and
// view, and the file commands a document handles itself: close, save and save as.
#include <memory>

#include <QObject>
#include <QString>

#include "CmdTarget.h"

class CDocumentBase;

namespace fw {

class CDocManager;
class CDocTemplate;
class CMDIChildWnd;
class CView;

class CDocument : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    CDocument(CDocTemplate& docTemplate, std::unique_ptr<CDocumentBase> model,
              CDocManager& manager);
    ~CDocument() override;

    CDocumentBase& Model() { return *m_pModel; }
    const CDocumentBase& Model() const { return *m_pModel; }
    CDocTemplate& GetDocTemplate() const { return m_template; }

    QString GetTitle() const;
    void SetTitle(const QString& title);
    // UTF-8 absolute path, empty while untitled.
    QString GetPathName() const;
    bool IsModified() const;

    CMDIChildWnd* GetFrame() const { return m_pFrame; }
    CView* GetView() const { return m_pView; }
    void SetFrameAndView(CMDIChildWnd* frame, CView* view);

    // Before the document's last window closes: when modified, asks "Save changes to %1?";
    // yes saves (a failed save keeps the window), no discards, cancel keeps the window.
    bool SaveModified();
    // "上書き保存": saves to the document's file, or asks for one while untitled.
    bool DoFileSave();
    // Saves to path, or asks with the "Save As" dialog when path is empty. On success the
    // document takes the new name and the recent-file list gains it.
    bool DoSave(const QString& path);
    // Closes the document's window without asking; the document goes with it.
    void OnCloseDocument();
    // Repaints every view from the document.
    void UpdateAllViews(CView* sender = nullptr);

signals:
    void titleChanged(const QString& title);
    // The model document changed through one of its operations (also undo and redo).
    void modelChanged();

private:
    QString SaveAsInitialPath() const;

    CDocTemplate& m_template;
    std::unique_ptr<CDocumentBase> m_pModel;
    CDocManager& m_manager;
    CMDIChildWnd* m_pFrame = nullptr;
    CView* m_pView = nullptr;
    int m_nObserver = 0;
};

} // namespace fw
