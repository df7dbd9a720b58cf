#include "FwDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "CommandIds.h"
#include "DocManager.h"
#include "DocTemplate.h"
#include "FileMessages.h"
#include "MDIChildWnd.h"
#include "MessageBox.h"
#include "Prompter.h"
#include "View.h"
#include "model/Document.h"

namespace fw {

CDocument::CDocument(CDocTemplate& docTemplate, std::unique_ptr<CDocumentBase> model,
                     CDocManager& manager)
    : m_template(docTemplate), m_pModel(std::move(model)), m_manager(manager) {
    AddHandler(cmd::ID_FILE_CLOSE, [this] {
        if (SaveModified()) {
            OnCloseDocument();
        }
    });
    AddHandler(cmd::ID_FILE_SAVE, [this] { DoFileSave(); });
    AddHandler(cmd::ID_FILE_SAVE_AS, [this] { DoSave(QString()); });
    // The model's one change notification becomes a signal the views connect to.
    m_nObserver = m_pModel->AddChangeObserver([this] { emit modelChanged(); });
}

CDocument::~CDocument() {
    m_pModel->RemoveChangeObserver(m_nObserver);
}

QString CDocument::GetTitle() const {
    return QString::fromStdString(m_pModel->GetTitle());
}

void CDocument::SetTitle(const QString& title) {
    m_pModel->SetTitle(title.toStdString());
    emit titleChanged(title);
}

QString CDocument::GetPathName() const {
    return QString::fromStdString(m_pModel->GetPathName());
}

bool CDocument::IsModified() const {
    return m_pModel->IsModified();
}

void CDocument::SetFrameAndView(CMDIChildWnd* frame, CView* view) {
    m_pFrame = frame;
    m_pView = view;
    if (m_pView) {
        m_pView->SetDocumentShell(this);
    }
}

bool CDocument::SaveModified() {
    if (!IsModified()) {
        return true;
    }
    MessageRequest request;
    request.text = SaveChangesQuestion(GetTitle());
    request.caption = QStringLiteral("Velmo");
    request.icon = EMsgIcon::Exclamation;
    request.buttons = EMsgButtons::YesNoCancel;
    switch (ShowMessage(m_manager.MainWidget(), request)) {
    case EMsgResult::Cancel:
        return false;
    case EMsgResult::Yes:
        return DoFileSave();
    case EMsgResult::No:
    case EMsgResult::Ok:
        break;
    }
    return true;
}

bool CDocument::DoFileSave() {
    const QString path = GetPathName();
    if (path.isEmpty()) {
        return DoSave(QString());
    }
    return DoSave(path);
}

QString CDocument::SaveAsInitialPath() const {
    const QString path = GetPathName();
    if (!path.isEmpty()) {
        return path;
    }
    // An untitled document suggests its title with the type's extension, in the current folder;
    // characters that would make a path of the title are cut off.
    QString name = GetTitle();
    const qsizetype bad = name.indexOf(QRegularExpression(QStringLiteral("[:/\\\\]")));
    if (bad >= 0) {
        name.truncate(bad);
    }
    name += m_template.GetDocString(CDocTemplate::filterExt);
    return QDir::current().absoluteFilePath(name);
}

bool CDocument::DoSave(const QString& requestedPath) {
    QString path = requestedPath;
    if (path.isEmpty()) {
        FileDialogRequest request;
        request.bSave = true;
        request.title = QStringLiteral("Save As");
        const QString filter = m_template.GetFilter();
        if (!filter.isEmpty()) {
            request.filters << filter;
        }
        request.filters << QStringLiteral("All Files (*.*)");
        QString ext = m_template.GetDocString(CDocTemplate::filterExt);
        request.defaultExtension = ext.startsWith(QLatin1Char('.')) ? ext.mid(1) : ext;
        request.initialPath = SaveAsInitialPath();
        path = Prompter().ChooseFile(m_manager.MainWidget(), request);
        if (path.isEmpty()) {
            return false;
        }
        path = QFileInfo(path).absoluteFilePath();
    }
    const EDocOutcome outcome = m_pModel->OnSaveDocument(path.toStdString());
    if (outcome != EDocOutcome::Saved) {
        ReportOutcome(m_manager.MainWidget(), outcome, path, true);
        return false;
    }
    m_manager.AddToRecentFileList(path);
    emit titleChanged(GetTitle());
    return true;
}

void CDocument::OnCloseDocument() {
    if (m_pFrame) {
        m_pFrame->CloseWithoutAsking();
    } else {
        m_manager.RemoveDocument(this);
    }
}

void CDocument::UpdateAllViews(CView* sender) {
    if (m_pView && m_pView != sender) {
        m_pView->OnUpdate();
    }
}

} // namespace fw
