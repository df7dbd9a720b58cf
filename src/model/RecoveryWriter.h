#pragma once
// Writes and removes recovery files on a worker thread of its own, in the order asked, so that
// the user interface only hands over a copy of the bytes. A write still waiting is replaced by
// a later write or removal of the same file.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CRecoveryWriter {
public:
    CRecoveryWriter();
    // Finishes every job asked for, then ends the thread.
    ~CRecoveryWriter();
    CRecoveryWriter(const CRecoveryWriter&) = delete;
    CRecoveryWriter& operator=(const CRecoveryWriter&) = delete;

    // Replaces the file at path atomically with bytes.
    void Write(const std::string& path, std::vector<std::uint8_t> bytes);
    void Remove(const std::string& path);
    // Waits until every job asked for so far is done.
    void Flush();
    // Writes that failed so far (a full disk, a folder that went away); the next write of the
    // same document tries again.
    int FailedWrites() const;

private:
    struct SJob {
        std::string strPath;
        std::vector<std::uint8_t> bytes;
        bool bRemove = false;
    };
    void Post(SJob job);
    void Run();

    mutable std::mutex m_mutex;
    std::condition_variable m_cvWork;
    std::condition_variable m_cvIdle;
    std::deque<SJob> m_jobs;
    bool m_bBusy = false;
    bool m_bStop = false;
    int m_nFailed = 0;
    std::thread m_thread;
};
