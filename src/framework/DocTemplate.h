#pragma once
// A document type: its resource id (menu, icon), its seven resource strings, and how its
// document, frame and view are made. Untitled documents are numbered per template from 1.
#include <functional>
#include <memory>

#include <QString>

#include "model/Document.h"

class QWidget;

namespace fw {

class CMDIChildWnd;
class CView;

class CDocTemplate {
public:
    // The fields of the resource string, in their order.
    enum EDocString {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
        kDocStringCount
    };
    // How well a file suits this template.
    enum EConfidence { noAttempt, maybeAttemptForeign, yesAttemptNative };

    using DocumentFactory = std::function<std::unique_ptr<CDocumentBase>()>;
    using FrameFactory = std::function<CMDIChildWnd*()>;
    using ViewFactory = std::function<CView*()>;

    // resourceString holds the seven fields separated by line feeds.
    CDocTemplate(int resourceId, const QString& resourceString, DocumentFactory makeDocument,
                 FrameFactory makeFrame, ViewFactory makeView);

    int GetResourceId() const { return m_nResourceId; }
    QString GetDocString(EDocString index) const;
    // "ベルモ書類 (*.vlm)": the filter of the file dialogs; empty without a filter extension.
    QString GetFilter() const;
    // The title of the next untitled document: the document name and the running number.
    QString NextUntitledTitle();
    // A file whose extension equals the filter extension (any case) is native to the template.
    EConfidence MatchDocType(const QString& path) const;

    std::unique_ptr<CDocumentBase> CreateDocument() const { return m_makeDocument(); }
    CMDIChildWnd* CreateFrame() const { return m_makeFrame(); }
    CView* CreateView() const { return m_makeView(); }

private:
    int m_nResourceId;
    QString m_strFields[kDocStringCount];
    int m_nUntitledCount = 0;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    ViewFactory m_makeView;
};

} // namespace fw
