// The recovery folder: where it lies for each environment, and that it is made on demand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>

#include "TestSupport.h"
#include "model/RecoveryFolder.h"

namespace {

// Sets (or unsets, with nullopt) an environment variable for one scope.
class CScopedEnv {
public:
    CScopedEnv(const char* name, std::optional<std::string> value) : m_strName(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~CScopedEnv() {
        if (m_old) {
            ::setenv(m_strName.c_str(), m_old->c_str(), 1);
        } else {
            ::unsetenv(m_strName.c_str());
        }
    }

private:
    std::string m_strName;
    std::optional<std::string> m_old;
};

struct FolderCase {
    const char* name;
    std::optional<std::string> stateHome;
    std::string expected;
};

class RecoveryFolderPathTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(RecoveryFolderPathTest, FollowsStateHomeOrHome) {
    const CScopedEnv home("HOME", std::string("/home/someone"));
    const CScopedEnv state("XDG_STATE_HOME", GetParam().stateHome);
    EXPECT_EQ(RecoveryFolderPath(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, RecoveryFolderPathTest,
    ::testing::Values(
        FolderCase{"StateHomeSet", std::string("/var/state"), "/var/state/velmo/recovery/"},
        FolderCase{"StateHomeWithSlash", std::string("/var/state/"), "/var/state/velmo/recovery/"},
        FolderCase{"Unset", std::nullopt, "/home/someone/.local/state/velmo/recovery/"},
        FolderCase{"Empty", std::string(""), "/home/someone/.local/state/velmo/recovery/"},
        FolderCase{"Relative", std::string("state"), "/home/someone/.local/state/velmo/recovery/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecoveryFolderTest, IsCreatedPrivateOnDemand) {
    const CTempDir dir;
    const CScopedEnv state("XDG_STATE_HOME", dir.Path("fresh/state"));
    int err = 0;
    const std::string folder = EnsureRecoveryFolder(err);
    ASSERT_EQ(folder, dir.Path("fresh/state/velmo/recovery/")) << err;
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A second call finds it in place.
    EXPECT_EQ(EnsureRecoveryFolder(err), folder);
}

TEST(RecoveryFolderTest, PlainFileInThePathIsReported) {
    const CTempDir dir;
    WriteBytes(dir.Path("state"), {'x'});
    const CScopedEnv state("XDG_STATE_HOME", dir.Path("state"));
    int err = 0;
    EXPECT_EQ(EnsureRecoveryFolder(err), "");
    EXPECT_EQ(err, ENOTDIR);
}

} // namespace
