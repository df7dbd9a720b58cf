#include "FilePermissions.h"

#include <linux/capability.h>
#include <linux/securebits.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testsupport {

namespace {

// Capabilities are per thread; the raw calls change only the calling thread's set.
bool GetCaps(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool SetCaps(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capset, &header, data) == 0;
}

constexpr int kBypasses[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};

bool AnyBypass(const __user_cap_data_struct (&data)[2]) {
    for (const int cap : kBypasses) {
        if (data[cap / 32].effective & (1u << (cap % 32))) {
            return true;
        }
    }
    return false;
}

// access() asks as the real user, and for a real root it takes back every permitted right
// unless the thread keeps to its effective rights on such changes of user.
bool KeepEffectiveRightsForRoot() {
    if (::getuid() != 0) {
        return true;
    }
    const int bits = ::prctl(PR_GET_SECUREBITS);
    return bits >= 0 && ((bits & SECBIT_NO_SETUID_FIXUP) != 0 ||
                         ::prctl(PR_SET_SECUREBITS, bits | SECBIT_NO_SETUID_FIXUP) == 0);
}

bool DropBypasses() {
    __user_cap_data_struct data[2] = {};
    if (!GetCaps(data) || !KeepEffectiveRightsForRoot()) {
        return false;
    }
    for (const int cap : kBypasses) {
        data[cap / 32].effective &= ~(1u << (cap % 32));
    }
    SetCaps(data);
    return GetCaps(data) && !AnyBypass(data);
}

} // namespace

bool HonourFilePermissions() {
    return DropBypasses();
}

CHonouredPermissions::CHonouredPermissions() : m_nSecureBits(::prctl(PR_GET_SECUREBITS)) {
    __user_cap_data_struct data[2] = {};
    if (GetCaps(data)) {
        m_nEffective[0] = data[0].effective;
        m_nEffective[1] = data[1].effective;
        m_bSaved = true;
    }
    m_bHolds = DropBypasses();
}

CHonouredPermissions::~CHonouredPermissions() {
    __user_cap_data_struct data[2] = {};
    if (!m_bSaved || !GetCaps(data)) {
        return;
    }
    data[0].effective = m_nEffective[0];
    data[1].effective = m_nEffective[1];
    SetCaps(data);
    if (m_nSecureBits >= 0) {
        ::prctl(PR_SET_SECUREBITS, m_nSecureBits);
    }
}

} // namespace testsupport
