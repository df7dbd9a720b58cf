#pragma once
// Recovery files: a copy of an unsaved document's bytes (exactly what saving it would write)
// behind a small index saying what it is, when it was written and which process owns it. The
// owner is also in the file's name, so that running copies of the program tell their own files
// from those of a copy that is gone.
#include <cstdint>
#include <string>
#include <vector>

// A process as it can be recognised later: the boot it runs in, its id and its start time (so
// that a process id used again after the owner ended is not taken for the owner).
struct SProcessIdentity {
    std::string strBootId; // 32 hexadecimal digits, no dashes
    long long nPid = 0;
    unsigned long long nStartTime = 0; // clock ticks after boot
    friend bool operator==(const SProcessIdentity&, const SProcessIdentity&) = default;
};

// This process.
SProcessIdentity CurrentProcessIdentity();
// The running process of that id (its start time 0 when there is none).
SProcessIdentity ProcessIdentityOf(long long pid);
// True while the process runs: the same boot, and a process of that id started at that time.
bool IsProcessRunning(const SProcessIdentity& process);

struct SRecoveryIndex {
    std::string strKind;  // the document type's file extension (".vlm", ".vls")
    std::string strPath;  // the document's file (UTF-8), empty while untitled
    std::string strTitle; // the document's title (UTF-8): the untitled name while untitled
    long long nTime = 0;  // when written, seconds since 1970
    std::string strVersion;
    SProcessIdentity owner; // the process that wrote it
};

// The file: the index as text lines, then the document's bytes.
std::vector<std::uint8_t> EncodeRecoveryFile(const SRecoveryIndex& index,
                                             const std::vector<std::uint8_t>& document);
// False for anything that is not a whole recovery file (damaged, cut short, foreign).
bool DecodeRecoveryFile(const std::vector<std::uint8_t>& file, SRecoveryIndex& index,
                        std::vector<std::uint8_t>& document);

// "<boot id>-<pid>-<start time>-<serial>.vrec".
std::string RecoveryFileName(const SProcessIdentity& owner, unsigned serial);
// The owner named by a recovery file's name; false for any other name.
bool ParseRecoveryFileName(const std::string& name, SProcessIdentity& owner);

// Takes over the recovery files in folder whose owner is gone by renaming each to a name of
// self's (serials from nextSerial on): a file another copy took first is left to it. Returns
// the paths taken, in the order of the old names.
std::vector<std::string> ClaimOrphanedRecoveryFiles(const std::string& folder,
                                                    const SProcessIdentity& self,
                                                    unsigned& nextSerial);
