// Recovery at start-up: the keeper of recovery copies starts with the program, takes over the
// copies of a copy of the program that is gone and offers them once the main window is up.
#include <QTimer>

#include "MainFrame.h"
#include "RecoveryDialog.h"
#include "VelmoApp.h"
#include "framework/DocManager.h"
#include "framework/DocTemplate.h"
#include "framework/RecoveryKeeper.h"
#include "model/RecoveryFolder.h"

void CVelmoApp::StartRecovery() {
    int err = 0;
    const std::string folder = EnsureRecoveryFolder(err);
    if (folder.empty()) {
        return; // no folder to keep copies in: the program runs as before
    }
    m_pRecovery = std::make_unique<fw::CRecoveryKeeper>(*m_pDocManager, folder);
    m_pRecovery->Start();
    const std::vector<std::string> orphans = m_pRecovery->ClaimOrphans();
    if (!orphans.empty()) {
        QTimer::singleShot(0, this, [this, orphans] { OfferRecovery(orphans); });
    }
}

void CVelmoApp::OfferRecovery(const std::vector<std::string>& files) {
    auto restore = [this](const CRecoveryDialog::SEntry& entry) {
        fw::CDocTemplate* docTemplate =
            m_pDocManager->TemplateForExtension(QString::fromStdString(entry.index.strKind));
        if (docTemplate == nullptr) {
            return false;
        }
        fw::CDocument* document = m_pDocManager->OpenRecoveredDocument(
            *docTemplate, entry.bytes, QString::fromStdString(entry.index.strPath),
            QString::fromStdString(entry.index.strTitle));
        if (document == nullptr) {
            return false;
        }
        if (m_pRecovery) {
            m_pRecovery->Adopt(document, entry.strFile);
        }
        return true;
    };
    CRecoveryDialog dialog(CRecoveryDialog::ReadEntries(files), restore, m_pMainFrame.get());
    dialog.exec();
}
