// Saving that a kill cannot spoil and that keeps what its user expects of the file it replaces:
// links, owner, mode and extended attributes; files that are no regular files are never read.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "FilePermissions.h"
#include "TestSupport.h"
#include "model/FileReplacement.h"
#include "model/FileSystem.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"

namespace {

// Points the recovery folder (where in-place writes keep their copy) into a test folder.
class CStateHomeScope {
public:
    explicit CStateHomeScope(const std::string& folder) {
        if (const char* old = std::getenv("XDG_STATE_HOME")) {
            m_strOld = old;
            m_bHadOld = true;
        }
        ::setenv("XDG_STATE_HOME", folder.c_str(), 1);
    }
    ~CStateHomeScope() {
        if (m_bHadOld) {
            ::setenv("XDG_STATE_HOME", m_strOld.c_str(), 1);
        } else {
            ::unsetenv("XDG_STATE_HOME");
        }
    }

private:
    std::string m_strOld;
    bool m_bHadOld = false;
};

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// The files of the recovery folder, none when it was never made.
std::vector<std::string> RecoveryFiles(const CTempDir& state) {
    const std::string folder = state.Path("velmo/recovery");
    return std::filesystem::exists(folder) ? ListFolder(folder) : std::vector<std::string>{};
}

// A pid that surely runs no process: a child that has exited and been reaped.
pid_t GonePid() {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(0);
    }
    ::waitpid(pid, nullptr, 0);
    return pid;
}

class SaveSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strTarget = m_dir.Path("panel.vlm");
        m_old = DefaultPanelBytes();
        WriteBytes(m_strTarget, m_old);
        m_new = Bytes(100000, 0x5A); // larger than the old file, so a part-way write shows
    }
    bool Save() {
        int err = 0;
        const bool ok = WriteFileAtomically(m_strTarget, m_new, err);
        EXPECT_TRUE(ok) << err;
        return ok;
    }

    CTempDir m_dir;
    CTempDir m_state;
    CStateHomeScope m_stateHome{m_state.Path()};
    std::string m_strTarget;
    Bytes m_old;
    Bytes m_new;
};

} // namespace

TEST_F(SaveSafetyTest, AKillBetweenWriteAndRenameLeavesOnlyTheOldFile) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CFileReplacement replacement;
        int err = 0;
        if (replacement.Resolve(m_strTarget, err) && replacement.Begin(err) &&
            replacement.Write(m_new.data(), m_new.size(), err)) {
            ::raise(SIGKILL); // the new contents are written, the rename has not happened
        }
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_EQ(ListFolder(m_dir.Path()), std::vector<std::string>{"panel.vlm"});
    EXPECT_EQ(ReadBytes(m_strTarget), m_old);
}

TEST_F(SaveSafetyTest, ASaveRemovesTemporaryFilesWhoseProcessIsGone) {
    const std::string prefix = m_dir.Path(TemporaryFilePrefix(m_strTarget));
    const std::string gone = prefix + std::to_string(GonePid()) + "-0badf00d";
    const std::string running = prefix + "1-0000beef"; // process 1 always runs
    const std::string otherFile = m_dir.Path(".other.vlm.velmo-tmp-") + std::to_string(GonePid()) +
                                  "-00000001"; // not this file's
    for (const std::string& path : {gone, running, otherFile}) {
        WriteBytes(path, m_old);
    }
    ASSERT_TRUE(Save());
    EXPECT_FALSE(std::filesystem::exists(gone));
    EXPECT_TRUE(std::filesystem::exists(running));
    EXPECT_TRUE(std::filesystem::exists(otherFile));
    EXPECT_EQ(ReadBytes(m_strTarget), m_new);
}

TEST_F(SaveSafetyTest, AHardLinkedFileIsWrittenInPlaceAndKeepsItsLinks) {
    const std::string other = m_dir.Path("other-name.vlm");
    ASSERT_EQ(::link(m_strTarget.c_str(), other.c_str()), 0);
    const ino_t inode = StatOf(m_strTarget).st_ino;
    ASSERT_TRUE(Save());
    EXPECT_EQ(StatOf(m_strTarget).st_ino, inode);
    EXPECT_EQ(StatOf(m_strTarget).st_nlink, 2u);
    EXPECT_EQ(ReadBytes(other), m_new);
    EXPECT_TRUE(RecoveryFiles(m_state).empty()); // the copy of the old file is gone again
}

TEST_F(SaveSafetyTest, AFailedInPlaceWritePutsTheOldContentsBack) {
    const std::string other = m_dir.Path("other-name.vlm");
    ASSERT_EQ(::link(m_strTarget.c_str(), other.c_str()), 0);
    // In a child: a file size limit above the old file and below the new one makes the write
    // fail part way.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{m_old.size() + 100, m_old.size() + 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int err = 0;
        ::_exit(WriteFileAtomically(m_strTarget, m_new, err) ? 1 : err == EFBIG ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadBytes(other), m_old);
    EXPECT_TRUE(RecoveryFiles(m_state).empty());
}

TEST_F(SaveSafetyTest, TheOwnerGroupAndModeAreKept) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    ASSERT_EQ(::chown(m_strTarget.c_str(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(m_strTarget.c_str(), 0640), 0);
    ASSERT_TRUE(Save());
    const struct stat st = StatOf(m_strTarget);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(SaveSafetyTest, UserExtendedAttributesAreKept) {
    const std::string value = "kept across saves";
    if (::setxattr(m_strTarget.c_str(), "user.velmo.test", value.data(), value.size(), 0) != 0) {
        GTEST_SKIP() << "this file system holds no user extended attributes";
    }
    ASSERT_TRUE(Save());
    char read[64] = {};
    const ssize_t n = ::getxattr(m_strTarget.c_str(), "user.velmo.test", read, sizeof read);
    ASSERT_EQ(n, static_cast<ssize_t>(value.size()));
    EXPECT_EQ(std::string(read, static_cast<std::size_t>(n)), value);
}

TEST_F(SaveSafetyTest, AWritableFileInAReadOnlyFolderIsWrittenInPlace) {
    const ino_t inode = StatOf(m_strTarget).st_ino;
    const testsupport::CHonouredPermissions honoured;
    if (!honoured.Holds()) {
        GTEST_SKIP() << "the right to write into read-only folders could not be given up";
    }
    ASSERT_EQ(::chmod(m_dir.Path().c_str(), 0555), 0);
    int err = 0;
    const bool saved = WriteFileAtomically(m_strTarget, m_new, err);
    // A new file there is still refused.
    int newErr = 0;
    const bool created = WriteFileAtomically(m_dir.Path("new.vlm"), m_new, newErr);
    ::chmod(m_dir.Path().c_str(), 0755);
    EXPECT_TRUE(saved) << err;
    EXPECT_EQ(ReadBytes(m_strTarget), m_new);
    EXPECT_EQ(StatOf(m_strTarget).st_ino, inode);
    EXPECT_FALSE(created);
    EXPECT_EQ(newErr, EACCES);
    EXPECT_EQ(ListFolder(m_dir.Path()), std::vector<std::string>{"panel.vlm"});
}

TEST_F(SaveSafetyTest, AFolderThatCannotBeUsedIsSaidSo) {
    WriteBytes(m_dir.Path("plain"), m_old);
    const std::string paths[] = {m_dir.Path("missing/panel.vlm"), m_dir.Path("plain/panel.vlm"),
                                 m_dir.Path("plain/deeper/panel.vlm")};
    for (const std::string& path : paths) {
        CTestPanelDoc doc;
        EXPECT_EQ(doc.OnSaveDocument(path), EDocOutcome::FolderUnusable) << path;
    }
}

// A FIFO would block an open for reading forever, a device would be read up to the size limit:
// both are refused at once, as documents of either type. (The alarm ends a blocked test.)
TEST(NotRegularFiles, AreRefusedAtOnceAsDocuments) {
    CTempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("fifo.vlm").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(dir.Path("fifo.vls").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.Path("zero.vlm"));
    std::filesystem::create_symlink("/dev/urandom", dir.Path("random.vls"));
    ::alarm(60);
    for (const char* name : {"fifo.vlm", "zero.vlm"}) {
        CTestPanelDoc doc;
        EXPECT_EQ(doc.OnOpenDocument(dir.Path(name)), EDocOutcome::FailedToOpen) << name;
    }
    for (const char* name : {"fifo.vls", "random.vls"}) {
        CVelmoShowDoc doc;
        EXPECT_EQ(doc.OnOpenDocument(dir.Path(name)), EDocOutcome::FailedToOpen) << name;
    }
    struct stat st {};
    int err = 0;
    EXPECT_EQ(OpenRegularFile(dir.Path("fifo.vlm"), st, err), -1);
    EXPECT_EQ(err, kErrNotRegularFile);
    EXPECT_EQ(OpenRegularFile(dir.Path(), st, err), -1);
    EXPECT_EQ(err, EISDIR);
    ::alarm(0);
}
