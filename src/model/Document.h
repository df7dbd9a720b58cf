#pragma once
// The document base: file path, title, modified flag, and the open and save sequences around a
// document's Serialize, deciding the outcome the user is told about.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CArchive;

enum class EDocOutcome {
    Opened,
    Saved,
    NotFound,             // "%1 was not found."
    AccessDenied,         // "Access to %1 was denied."
    OtherFileError,       // the file could not be read or written for another reason
    UnexpectedFileFormat, // "Unexpected file format." (the file ended early)
    FailedToOpen,         // "Failed to open document."
    FailedToSave,         // "Failed to save document."
    FolderUnusable,       // "The folder of %1 cannot be used." (a save into a missing folder, or
                          // through a path part that is a plain file)
};

// Files larger than this are refused before reading: no document of either type comes near it.
constexpr long long kMaxDocumentFileBytes = 256LL * 1024 * 1024;

class CDocumentBase {
public:
    virtual ~CDocumentBase() = default;

    virtual void Serialize(CArchive& ar) = 0;

    // Opens the file at a UTF-8 path into this newly constructed document. An empty file opens
    // as a new document. On failure the document should be discarded.
    EDocOutcome OnOpenDocument(const std::string& path);
    // Writes the whole document so that a failure or a kill leaves the old file whole
    // (WriteFileAtomically); on failure nothing changes.
    EDocOutcome OnSaveDocument(const std::string& path);

    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(const std::string& path);
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const std::string& title) { m_strTitle = title; }
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) {
        m_bModified = modified;
        if (modified) {
            ++m_nChangeCount;
        }
    }
    // How many changes were marked (each SetModifiedFlag(true)): a recovery copy is written
    // when it moves.
    std::uint64_t GetChangeCount() const { return m_nChangeCount; }

    // The bytes of a recovery copy, read as if from the file at path (empty: an untitled
    // document, which keeps the title given); the document is then modified, so that its first
    // save writes its file again. On failure the document should be discarded.
    EDocOutcome OnRestoreDocument(const std::vector<std::uint8_t>& bytes, const std::string& path,
                                  const std::string& title);

    // Every change of the document's content is announced once, after it is complete, to each
    // observer in the order they were added. An observer may not add or remove observers.
    using ChangeObserver = std::function<void()>;
    int AddChangeObserver(ChangeObserver observer);
    void RemoveChangeObserver(int id);

protected:
    void NotifyChanged();

    // Called after the path changed (open, save as): documents that resolve files against
    // their own folder update here.
    virtual void OnPathNameChanged() {}

private:
    std::string m_strPathName;
    std::string m_strTitle;
    bool m_bModified = false;
    std::uint64_t m_nChangeCount = 0;
    std::vector<std::pair<int, ChangeObserver>> m_observers;
    int m_nNextObserver = 1;
};

// Maps an errno value of a failed open to the outcome the user is told.
EDocOutcome OutcomeFromErrno(int err, bool saving);
