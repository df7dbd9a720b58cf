#pragma once
// Keeps a recovery copy of every modified document: written in the background a little after
// the last change (at most kMaxDelayMs after the first change not yet copied) and at once after
// every kStepsPerWrite changes, removed when the document is saved or closed. The document's
// bytes are made on the user-interface thread (what saving would write, no more); the file is
// written atomically on the keeper's worker thread.
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/RecoveryFile.h"

class CRecoveryWriter;

namespace fw {

class CDocManager;
class CDocument;

class CRecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // A copy is written once a document has not changed for this long...
    static constexpr qint64 kQuietMs = 2000;
    // ...or this long after its first change not yet copied, whichever comes first...
    static constexpr qint64 kMaxDelayMs = 25000;
    // ...or at once after this many changes.
    static constexpr std::uint64_t kStepsPerWrite = 20;

    // folder: the recovery folder, ending with '/'. Follows the manager's documents from now on.
    CRecoveryKeeper(CDocManager& manager, std::string folder, QObject* parent = nullptr);
    // Finishes the writes and removals asked for.
    ~CRecoveryKeeper() override;

    // Looks at the documents once a second.
    void Start();
    // Looks at every document now, as at a time nowMs (milliseconds of a steady clock).
    void Poll(qint64 nowMs);
    // Waits until the worker has written and removed everything asked for so far.
    void Flush();

    const std::string& Folder() const { return m_strFolder; }
    const SProcessIdentity& Self() const { return m_self; }
    // Takes over the recovery files whose owner is gone (see ClaimOrphanedRecoveryFiles).
    std::vector<std::string> ClaimOrphans();
    // A fresh file name of this process's own in the folder.
    std::string NewFilePath();
    // The recovery file of a document, "" while it has none.
    std::string FileOf(const CDocument* document) const;
    // Makes an existing recovery file (one taken over at start-up) the file of a document
    // restored from it, holding that document's bytes as they are now.
    void Adopt(CDocument* document, const std::string& path);

private:
    struct SState {
        std::string strFile;         // "" until the first copy
        std::uint64_t nWritten = 0;  // the change count the file (or the saved file) holds
        std::uint64_t nSeen = 0;     // the change count seen last
        qint64 nFirstUnwritten = -1; // when a change not yet copied was first seen
        qint64 nLastChange = 0;      // when the change count last moved
    };
    void SyncDocuments();
    void PollDocument(CDocument* document, SState& state, qint64 nowMs);
    void WriteCopy(CDocument* document, SState& state);
    qint64 NowMs() const;

    CDocManager& m_manager;
    std::string m_strFolder;
    SProcessIdentity m_self;
    unsigned m_nNextSerial = 1;
    std::map<CDocument*, SState> m_states;
    std::unique_ptr<CRecoveryWriter> m_pWriter;
    QTimer m_timer;
};

} // namespace fw
