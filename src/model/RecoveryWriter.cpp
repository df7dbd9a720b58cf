#include "RecoveryWriter.h"

#include <cstdio>

#include "FileSystem.h"

CRecoveryWriter::CRecoveryWriter() : m_thread([this] { Run(); }) {}

CRecoveryWriter::~CRecoveryWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_bStop = true;
    }
    m_cvWork.notify_all();
    m_thread.join();
}

void CRecoveryWriter::Write(const std::string& path, std::vector<std::uint8_t> bytes) {
    Post(SJob{path, std::move(bytes), false});
}

void CRecoveryWriter::Remove(const std::string& path) {
    Post(SJob{path, {}, true});
}

void CRecoveryWriter::Post(SJob job) {
    {
        std::lock_guard lock(m_mutex);
        // A job not begun for the same file is outdated by this one.
        if (!m_jobs.empty() && m_jobs.back().strPath == job.strPath) {
            m_jobs.back() = std::move(job);
        } else {
            m_jobs.push_back(std::move(job));
        }
    }
    m_cvWork.notify_one();
}

void CRecoveryWriter::Flush() {
    std::unique_lock lock(m_mutex);
    m_cvIdle.wait(lock, [this] { return m_jobs.empty() && !m_bBusy; });
}

int CRecoveryWriter::FailedWrites() const {
    std::lock_guard lock(m_mutex);
    return m_nFailed;
}

void CRecoveryWriter::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_cvWork.wait(lock, [this] { return m_bStop || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            return; // stopping, and nothing left to do
        }
        SJob job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_bBusy = true;
        lock.unlock();
        bool ok = true;
        if (job.bRemove) {
            std::remove(job.strPath.c_str());
        } else {
            int err = 0;
            ok = WriteFileAtomically(job.strPath, job.bytes, err);
        }
        lock.lock();
        m_bBusy = false;
        if (!ok) {
            ++m_nFailed;
        }
        if (m_jobs.empty()) {
            m_cvIdle.notify_all();
        }
    }
}
