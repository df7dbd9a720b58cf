#include "Document.h"

#include <cerrno>
#include <new>
#include <utility>

#include "Archive.h"
#include "FileSystem.h"

EDocOutcome OutcomeFromErrno(int err, bool saving) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        // Saving creates the file if need be, so only its folder can be missing or unusable.
        return saving ? EDocOutcome::FolderUnusable : EDocOutcome::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return EDocOutcome::AccessDenied;
    case EFBIG:
    case kErrNotRegularFile:
        return saving ? EDocOutcome::FailedToSave : EDocOutcome::FailedToOpen;
    default:
        return EDocOutcome::OtherFileError;
    }
}

int CDocumentBase::AddChangeObserver(ChangeObserver observer) {
    const int id = m_nNextObserver++;
    m_observers.emplace_back(id, std::move(observer));
    return id;
}

void CDocumentBase::RemoveChangeObserver(int id) {
    std::erase_if(m_observers, [id](const auto& entry) { return entry.first == id; });
}

void CDocumentBase::NotifyChanged() {
    for (const auto& entry : m_observers) {
        entry.second();
    }
}

void CDocumentBase::SetPathName(const std::string& path) {
    m_strPathName = path;
    m_strTitle = FileNameOf(path);
    OnPathNameChanged();
}

namespace {

// Reads a document's bytes into it; an empty file opens as a new document.
EDocOutcome ReadDocumentBytes(CDocumentBase& doc, const std::vector<std::uint8_t>& bytes,
                              const std::string& path) {
    if (bytes.empty()) {
        return EDocOutcome::Opened;
    }
    try {
        CArchive ar = CArchive::ForLoading(bytes, path);
        doc.Serialize(ar);
    } catch (const CArchiveException& e) {
        return e.m_cause == CArchiveException::endOfFile ? EDocOutcome::UnexpectedFileFormat
                                                         : EDocOutcome::FailedToOpen;
    } catch (const std::bad_alloc&) {
        return EDocOutcome::FailedToOpen;
    }
    return EDocOutcome::Opened;
}

} // namespace

EDocOutcome CDocumentBase::OnOpenDocument(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    int err = 0;
    if (!ReadWholeFile(path, bytes, err, kMaxDocumentFileBytes)) {
        return OutcomeFromErrno(err, false);
    }
    // The path is known before reading so that the document can resolve files beside it.
    SetPathName(path);
    if (const EDocOutcome outcome = ReadDocumentBytes(*this, bytes, path);
        outcome != EDocOutcome::Opened) {
        return outcome;
    }
    SetModifiedFlag(false);
    return EDocOutcome::Opened;
}

EDocOutcome CDocumentBase::OnRestoreDocument(const std::vector<std::uint8_t>& bytes,
                                             const std::string& path, const std::string& title) {
    if (!path.empty()) {
        SetPathName(path);
    } else {
        SetTitle(title);
    }
    if (const EDocOutcome outcome = ReadDocumentBytes(*this, bytes, path);
        outcome != EDocOutcome::Opened) {
        return outcome;
    }
    SetModifiedFlag(true);
    return EDocOutcome::Opened;
}

EDocOutcome CDocumentBase::OnSaveDocument(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    try {
        CArchive ar = CArchive::ForStoring(path);
        Serialize(ar);
        bytes = ar.GetStoredBytes();
    } catch (const std::bad_alloc&) {
        return EDocOutcome::FailedToSave;
    }
    int err = 0;
    if (!WriteFileAtomically(path, bytes, err)) {
        const EDocOutcome outcome = OutcomeFromErrno(err, true);
        return outcome == EDocOutcome::OtherFileError ? EDocOutcome::FailedToSave : outcome;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return EDocOutcome::Saved;
}
