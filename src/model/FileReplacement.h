#pragma once
// Replacing a file's contents so that a failure, a kill or a power cut leaves the old file whole,
// and the new file keeps what its user expects of it: the same owner and group (where the
// system permits), mode and user extended attributes.
//
// The new contents go into an unnamed temporary file in the target's folder (O_TMPFILE), which
// vanishes by itself when the process dies; only when it is complete and on disk does it get a
// name and is renamed over the target, and the folder is synced. Where the file system has no
// unnamed files, the temporary file is named ".NAME.velmo-tmp-PID-XXXXXXXX"; a later save into
// the same folder removes such files whose process is gone.
#include <cstdint>
#include <string>
#include <vector>

class CFileReplacement {
public:
    CFileReplacement() = default;
    ~CFileReplacement(); // an uncommitted replacement leaves nothing behind
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Resolves symbolic links to the file they name and refuses a folder or a read-only
    // target. False with err set on failure.
    bool Resolve(const std::string& path, int& err);
    // Creates the temporary file beside the resolved target. False with err set on failure
    // (EACCES or EPERM when the folder refuses a new file).
    bool Begin(int& err);
    bool Write(const std::uint8_t* data, std::size_t size, int& err);
    // Syncs the contents, gives the file the old file's owner, mode and attributes, renames it
    // over the target and syncs the folder.
    bool Commit(int& err);

    // The file the replacement writes (links resolved); whether it existed, and its link count.
    const std::string& Target() const { return m_strTarget; }
    bool TargetExists() const { return m_bExists; }
    unsigned long TargetLinks() const { return m_nLinks; }

private:
    std::string m_strTarget;
    std::string m_strTempName; // the named temporary file, "" while it has no name
    int m_fd = -1;
    bool m_bExists = false;
    bool m_bUnnamed = false;
    unsigned long m_nLinks = 0;
    unsigned m_nMode = 0;
    unsigned m_nUid = 0;
    unsigned m_nGid = 0;
};

// Writes the bytes over a file in place, after a complete copy of the old file is on disk in the
// recovery folder: the way to save a file with several hard links, or one in a folder where no
// new file can be made. The copy is removed once the new contents are on disk. On a failure the
// old contents are written back from the copy; only when that fails too the copy stays, named
// by keptCopy. False with err set on failure.
bool WriteFileInPlace(const std::string& target, const std::vector<std::uint8_t>& bytes,
                      std::string& keptCopy, int& err);

// Removes ".NAME.velmo-tmp-PID-…" files beside target whose process PID no longer runs.
void RemoveStaleTemporaryFiles(const std::string& target);

// The prefix of the named temporary files of target: ".NAME.velmo-tmp-".
std::string TemporaryFilePrefix(const std::string& target);
