#include "DocManager.h"

#include <algorithm>

#include <QFileInfo>
#include <QSettings>

#include "CommandIds.h"
#include "DocTemplate.h"
#include "FileMessages.h"
#include "FwDocument.h"
#include "MDIChildWnd.h"
#include "Prompter.h"
#include "View.h"
#include "model/Document.h"

namespace fw {

namespace {

QString CanonicalOrAbsolute(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

const QString kCompany = QStringLiteral("Tollan Works");
const QString kApplication = QStringLiteral("Velmo");

} // namespace

CDocManager::CDocManager(QObject* parent) : QObject(parent), m_recent(cmd::kRecentFileCount) {}

CDocManager::~CDocManager() {
    for (CDocument* document : m_documents) {
        delete document;
    }
}

void CDocManager::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate) {
    m_templates.push_back(std::move(docTemplate));
}

QWidget* CDocManager::MainWidget() const {
    return m_pHost ? m_pHost->HostWidget() : nullptr;
}

CDocument* CDocManager::CreateWindowFor(CDocTemplate& docTemplate, CDocument* document) {
    m_documents.push_back(document);
    CMDIChildWnd* frame = docTemplate.CreateFrame();
    CView* view = docTemplate.CreateView();
    frame->Attach(document, view);
    connect(frame, &CMDIChildWnd::frameClosing, this,
            [this, document] { RemoveDocument(document); });
    if (m_pHost) {
        m_pHost->AddFrame(frame);
    }
    if (view) {
        view->OnInitialUpdate();
    }
    frame->show();
    if (m_pHost) {
        m_pHost->ActivateFrame(frame);
    }
    emit documentsChanged();
    return document;
}

CDocument* CDocManager::OpenNewDocument(CDocTemplate& docTemplate) {
    auto model = docTemplate.CreateDocument();
    if (!model) {
        return nullptr;
    }
    auto* document = new CDocument(docTemplate, std::move(model), *this);
    document->SetTitle(docTemplate.NextUntitledTitle());
    return CreateWindowFor(docTemplate, document);
}

CDocument* CDocManager::FindOpenDocument(const QString& path) const {
    const QString wanted = CanonicalOrAbsolute(path);
    for (CDocument* document : m_documents) {
        const QString own = document->GetPathName();
        if (!own.isEmpty() && CanonicalOrAbsolute(own) == wanted) {
            return document;
        }
    }
    return nullptr;
}

CDocument* CDocManager::OpenDocumentFile(const QString& requestedPath) {
    if (m_templates.empty() || requestedPath.isEmpty()) {
        return nullptr;
    }
    const QString path = QFileInfo(requestedPath).absoluteFilePath();
    if (CDocument* open = FindOpenDocument(path)) {
        if (m_pHost && open->GetFrame()) {
            m_pHost->ActivateFrame(open->GetFrame());
        }
        return open;
    }
    CDocTemplate* chosen = m_templates.front().get();
    for (const auto& docTemplate : m_templates) {
        if (docTemplate->MatchDocType(path) == CDocTemplate::yesAttemptNative) {
            chosen = docTemplate.get();
            break;
        }
    }
    return OpenDocumentFileWith(*chosen, path);
}

CDocument* CDocManager::OpenDocumentFileWith(CDocTemplate& docTemplate,
                                             const QString& requestedPath) {
    const QString path = QFileInfo(requestedPath).absoluteFilePath();
    auto model = docTemplate.CreateDocument();
    if (!model) {
        return nullptr;
    }
    const EDocOutcome outcome = model->OnOpenDocument(path.toStdString());
    if (outcome != EDocOutcome::Opened) {
        ReportOutcome(MainWidget(), outcome, path, false);
        return nullptr;
    }
    auto* document = new CDocument(docTemplate, std::move(model), *this);
    AddToRecentFileList(path);
    return CreateWindowFor(docTemplate, document);
}

CDocument* CDocManager::OpenRecoveredDocument(CDocTemplate& docTemplate,
                                              const std::vector<std::uint8_t>& bytes,
                                              const QString& path, const QString& title) {
    auto model = docTemplate.CreateDocument();
    if (!model || model->OnRestoreDocument(bytes, path.toStdString(), title.toStdString()) !=
                      EDocOutcome::Opened) {
        return nullptr;
    }
    auto* document = new CDocument(docTemplate, std::move(model), *this);
    return CreateWindowFor(docTemplate, document);
}

CDocTemplate* CDocManager::TemplateForExtension(const QString& ext) const {
    for (const auto& docTemplate : m_templates) {
        if (!ext.isEmpty() && docTemplate->GetDocString(CDocTemplate::filterExt) == ext) {
            return docTemplate.get();
        }
    }
    return nullptr;
}

void CDocManager::OnFileOpen() {
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    for (const auto& docTemplate : m_templates) {
        const QString filter = docTemplate->GetFilter();
        if (!filter.isEmpty()) {
            request.filters << filter;
        }
    }
    request.filters << QStringLiteral("All Files (*.*)");
    const QString path = Prompter().ChooseFile(MainWidget(), request);
    if (!path.isEmpty()) {
        OpenDocumentFile(path);
    }
}

bool CDocManager::SaveAllModified() {
    const std::vector<CDocument*> documents = m_documents;
    for (CDocument* document : documents) {
        if (!document->SaveModified()) {
            return false;
        }
    }
    return true;
}

void CDocManager::CloseAllDocuments() {
    const std::vector<CDocument*> documents = m_documents;
    for (CDocument* document : documents) {
        document->OnCloseDocument();
    }
}

void CDocManager::AddToRecentFileList(const QString& path) {
    const QStringList before = m_recent.Entries();
    m_recent.Add(path);
    // Opening the file already at the top changes nothing: the settings file (and its lock)
    // is left alone, which also spares a start-up that opens the last file again.
    if (m_recent.Entries() == before) {
        return;
    }
    SaveRecentFiles();
    emit recentFilesChanged();
}

void CDocManager::OpenRecentFile(int index) {
    const QString path = m_recent.At(index);
    if (path.isEmpty()) {
        return;
    }
    if (!OpenDocumentFile(path)) {
        // The entry may have moved meanwhile; remove the path, not the index.
        const int now = static_cast<int>(m_recent.Entries().indexOf(path));
        m_recent.Remove(now);
        SaveRecentFiles();
        emit recentFilesChanged();
    }
}

void CDocManager::LoadRecentFiles() {
    QSettings settings(kCompany, kApplication);
    m_recent.ReadList(settings);
    emit recentFilesChanged();
}

void CDocManager::SaveRecentFiles() const {
    QSettings settings(kCompany, kApplication);
    m_recent.WriteList(settings);
}

void CDocManager::RemoveDocument(CDocument* document) {
    const auto found = std::find(m_documents.begin(), m_documents.end(), document);
    if (found == m_documents.end()) {
        return;
    }
    m_documents.erase(found);
    // The frame and its view are still being torn down; the document goes after them.
    document->deleteLater();
    emit documentsChanged();
}

} // namespace fw
