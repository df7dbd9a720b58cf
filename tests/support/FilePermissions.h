#pragma once
// Root passes over file permissions; these take that right away from the calling thread, so
// that a read-only folder or an unreadable file refuses access in tests that run as root too.
// Standard C++ and Linux only, for the model tests as well as the Qt tests.
#include <cstdint>

namespace testsupport {

// Removes from the calling thread the rights to read, write and search any file and to change
// any file's mode, for good, also for access(), which asks as the real user. True when file
// permissions hold for the thread afterwards.
bool HonourFilePermissions();

// Removes the same rights for its lifetime and gives them back afterwards.
class CHonouredPermissions {
public:
    CHonouredPermissions();
    ~CHonouredPermissions();
    // False when the rights could not be removed; a test that needs them gone should skip.
    bool Holds() const { return m_bHolds; }

private:
    std::uint32_t m_nEffective[2] = {};
    int m_nSecureBits = -1;
    bool m_bSaved = false;
    bool m_bHolds = false;
};

} // namespace testsupport
