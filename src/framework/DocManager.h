#pragma once
// The document manager: the registered templates in their order, the open documents, opening
// files (an open file is brought to the front instead of opened twice), new untitled
// documents, the framework's open command, the recent-file list, and closing everything.
#include <cstdint>
#include <memory>
#include <vector>

#include <QObject>
#include <QString>

#include "RecentFileList.h"

class QWidget;

namespace fw {

class CDocTemplate;
class CDocument;
class CMDIChildWnd;

// Where the manager puts the frames it makes: the main window.
class IFrameHost {
public:
    virtual ~IFrameHost() = default;
    virtual QWidget* HostWidget() = 0;
    virtual void AddFrame(CMDIChildWnd* frame) = 0;
    virtual void ActivateFrame(CMDIChildWnd* frame) = 0;
};

class CDocManager : public QObject {
    Q_OBJECT
public:
    explicit CDocManager(QObject* parent = nullptr);
    ~CDocManager() override;

    void AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
    const std::vector<std::unique_ptr<CDocTemplate>>& Templates() const { return m_templates; }
    void SetFrameHost(IFrameHost* host) { m_pHost = host; }
    QWidget* MainWidget() const;

    // A new untitled document of the template, in its own window.
    CDocument* OpenNewDocument(CDocTemplate& docTemplate);
    // Opens a file as the type its extension names (the first template when none does); a file
    // already open has its window brought to the front. Failures are reported to the user and
    // leave no window; the result is then null.
    CDocument* OpenDocumentFile(const QString& path);
    // Opens the file as a document of this template in a new window, also when the file is open
    // already ("新規ショー設定..."). Failures are reported; the result is then null.
    CDocument* OpenDocumentFileWith(CDocTemplate& docTemplate, const QString& path);
    // A document of the template restored from a recovery copy's bytes, with the path (or, while
    // untitled, the title) it had, modified, in a new window. Null when the bytes do not load.
    CDocument* OpenRecoveredDocument(CDocTemplate& docTemplate,
                                     const std::vector<std::uint8_t>& bytes, const QString& path,
                                     const QString& title);
    // The template whose filter extension is ext, or null.
    CDocTemplate* TemplateForExtension(const QString& ext) const;
    // The framework's open command: the "Open" dialog with every template's filter in order,
    // then "All Files (*.*)".
    void OnFileOpen();
    // The open document of a file, found by its canonical path.
    CDocument* FindOpenDocument(const QString& path) const;
    const std::vector<CDocument*>& Documents() const { return m_documents; }

    // Asks about each modified document; false when the user cancelled.
    bool SaveAllModified();
    // Closes every document without asking.
    void CloseAllDocuments();

    CRecentFileList& RecentFiles() { return m_recent; }
    void AddToRecentFileList(const QString& path);
    // Opens recent entry index; an entry that fails to open leaves the list.
    void OpenRecentFile(int index);
    void LoadRecentFiles();
    void SaveRecentFiles() const;

    // Called by a document's frame as it closes for good.
    void RemoveDocument(CDocument* document);

signals:
    void documentsChanged();
    void recentFilesChanged();

private:
    CDocument* CreateWindowFor(CDocTemplate& docTemplate, CDocument* document);

    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    std::vector<CDocument*> m_documents;
    CRecentFileList m_recent;
    IFrameHost* m_pHost = nullptr;
};

} // namespace fw
