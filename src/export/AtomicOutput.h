#pragma once
// Output that appears at its target only when complete: everything is written to a temporary
// file (or folder) beside the target and renamed over it at the end. Destroying an output that
// was not committed removes the temporary, so a cancelled or failed export leaves nothing.
#include <cstddef>
#include <string>

namespace exporting {

class CAtomicOutput {
public:
    // target is a UTF-8 path; bFolder makes a folder (the target must not exist or be empty).
    CAtomicOutput(std::string target, bool bFolder);
    ~CAtomicOutput();
    CAtomicOutput(const CAtomicOutput&) = delete;
    CAtomicOutput& operator=(const CAtomicOutput&) = delete;

    // Creates the temporary beside the target. False with a one-line message on failure.
    bool Create(std::string& error);
    // The temporary file or folder to write to (UTF-8).
    const std::string& TempPath() const { return m_strTemp; }
    // Renames the temporary over the target. False with a message; the temporary is removed.
    bool Commit(std::string& error);
    // Removes the temporary now (also done by the destructor).
    void Discard();

private:
    std::string m_strTarget;
    std::string m_strTemp;
    bool m_bFolder;
    bool m_bCommitted = false;
};

// Writes size bytes to the file at path (created or truncated), every short write and error
// seen (a full disk, a file-size limit). False with "PATH: reason".
bool WriteWholeFile(const std::string& path, const char* data, std::size_t size,
                    std::string& error);

// "PATH: reason" for an errno value.
std::string ErrnoText(const std::string& path, int error);

} // namespace exporting
