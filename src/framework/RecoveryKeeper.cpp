#include "RecoveryKeeper.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>
#include <new>

#include "DocManager.h"
#include "DocTemplate.h"
#include "FwDocument.h"
#include "model/Archive.h"
#include "model/Document.h"
#include "model/RecoveryWriter.h"

namespace fw {

namespace {

constexpr int kPollIntervalMs = 1000;

} // namespace

CRecoveryKeeper::CRecoveryKeeper(CDocManager& manager, std::string folder, QObject* parent)
    : QObject(parent), m_manager(manager), m_strFolder(std::move(folder)),
      m_self(CurrentProcessIdentity()), m_pWriter(std::make_unique<CRecoveryWriter>()) {
    connect(&m_manager, &CDocManager::documentsChanged, this, [this] { SyncDocuments(); });
    connect(&m_timer, &QTimer::timeout, this, [this] { Poll(NowMs()); });
    SyncDocuments();
}

CRecoveryKeeper::~CRecoveryKeeper() = default;

void CRecoveryKeeper::Start() {
    m_timer.start(kPollIntervalMs);
}

void CRecoveryKeeper::Flush() {
    m_pWriter->Flush();
}

qint64 CRecoveryKeeper::NowMs() const {
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

std::vector<std::string> CRecoveryKeeper::ClaimOrphans() {
    return ClaimOrphanedRecoveryFiles(m_strFolder, m_self, m_nNextSerial);
}

std::string CRecoveryKeeper::NewFilePath() {
    return m_strFolder + RecoveryFileName(m_self, m_nNextSerial++);
}

std::string CRecoveryKeeper::FileOf(const CDocument* document) const {
    const auto found = m_states.find(const_cast<CDocument*>(document));
    return found == m_states.end() ? std::string() : found->second.strFile;
}

void CRecoveryKeeper::Adopt(CDocument* document, const std::string& path) {
    SyncDocuments();
    SState& state = m_states[document];
    if (!state.strFile.empty() && state.strFile != path) {
        m_pWriter->Remove(state.strFile);
    }
    state.strFile = path;
    state.nWritten = state.nSeen = document->Model().GetChangeCount();
    state.nFirstUnwritten = -1;
}

void CRecoveryKeeper::SyncDocuments() {
    const auto& open = m_manager.Documents();
    // A document that left the manager was saved or closed without saving: its copy goes.
    for (auto it = m_states.begin(); it != m_states.end();) {
        if (std::find(open.begin(), open.end(), it->first) == open.end()) {
            if (!it->second.strFile.empty()) {
                m_pWriter->Remove(it->second.strFile);
            }
            it = m_states.erase(it);
        } else {
            ++it;
        }
    }
    for (CDocument* document : open) {
        if (m_states.count(document) != 0) {
            continue;
        }
        SState& state = m_states[document];
        const std::uint64_t count = document->Model().GetChangeCount();
        // A document opened unmodified is held by its file; a modified one (restored, or
        // changed while it opened) needs a copy.
        state.nWritten = document->IsModified() ? count - 1 : count;
        state.nSeen = state.nWritten;
        // A save is noticed at once: the title is told again after every save.
        connect(document, &CDocument::titleChanged, this, [this, document] {
            const auto found = m_states.find(document);
            if (found != m_states.end()) {
                PollDocument(document, found->second, NowMs());
            }
        });
    }
}

void CRecoveryKeeper::Poll(qint64 nowMs) {
    for (auto& [document, state] : m_states) {
        PollDocument(document, state, nowMs);
    }
}

void CRecoveryKeeper::PollDocument(CDocument* document, SState& state, qint64 nowMs) {
    const std::uint64_t count = document->Model().GetChangeCount();
    if (!document->IsModified()) {
        // Saved (or never changed): the file holds everything.
        if (!state.strFile.empty()) {
            m_pWriter->Remove(state.strFile);
            state.strFile.clear();
        }
        state.nWritten = state.nSeen = count;
        state.nFirstUnwritten = -1;
        return;
    }
    if (count != state.nSeen) {
        state.nSeen = count;
        state.nLastChange = nowMs;
        if (state.nFirstUnwritten < 0) {
            state.nFirstUnwritten = nowMs;
        }
    }
    if (count == state.nWritten) {
        return;
    }
    if (count - state.nWritten >= kStepsPerWrite || nowMs - state.nLastChange >= kQuietMs ||
        nowMs - state.nFirstUnwritten >= kMaxDelayMs) {
        WriteCopy(document, state);
    }
}

void CRecoveryKeeper::WriteCopy(CDocument* document, SState& state) {
    CDocumentBase& model = document->Model();
    std::vector<std::uint8_t> bytes;
    try {
        CArchive ar = CArchive::ForStoring(model.GetPathName());
        model.Serialize(ar);
        bytes = ar.GetStoredBytes();
    } catch (const std::bad_alloc&) {
        return; // tried again at the next change
    }
    SRecoveryIndex index;
    index.strKind = document->GetDocTemplate().GetDocString(CDocTemplate::filterExt).toStdString();
    index.strPath = model.GetPathName();
    index.strTitle = model.GetTitle();
    index.nTime = QDateTime::currentSecsSinceEpoch();
    index.strVersion = VELMO_VERSION;
    index.owner = m_self;
    if (state.strFile.empty()) {
        state.strFile = NewFilePath();
    }
    m_pWriter->Write(state.strFile, EncodeRecoveryFile(index, bytes));
    state.nWritten = model.GetChangeCount();
    state.nFirstUnwritten = -1;
}

} // namespace fw
