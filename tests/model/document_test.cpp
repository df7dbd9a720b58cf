// The document base: path, title and modified flag, and saving that replaces the old file
// only when the new one is complete.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

#include "FilePermissions.h"
#include "TestSupport.h"
#include "model/VelmoDoc.h"

namespace {

// A document that differs from the default, recorded as the editor records changes.
void MakeChange(CVelmoDoc& doc) {
    doc.RecordChange(false, true);
    doc.AddFuki();
    doc.m_panel.m_crBack = 0x00336699;
    doc.RecordChange(true, false);
}

// Saves while the process may write no file larger than limit bytes, so the write fails part
// way through.
EDocOutcome SaveWithFileSizeLimit(CVelmoDoc& doc, const std::string& path, rlim_t limit) {
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit lowered = previous;
    lowered.rlim_cur = limit;
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &lowered);
    const EDocOutcome outcome = doc.OnSaveDocument(path);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    return outcome;
}

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strTarget = m_dir.Path("panel.vlm");
        m_old = DefaultPanelBytes();
        WriteBytes(m_strTarget, m_old);
        MakeChange(m_doc);
    }
    void ExpectOldFileIntact() {
        EXPECT_EQ(ReadBytes(m_strTarget), m_old);
        EXPECT_EQ(ListFolder(m_dir.Path()), std::vector<std::string>{"panel.vlm"});
        EXPECT_TRUE(m_doc.IsModified());
    }

    CTempDir m_dir;
    std::string m_strTarget;
    Bytes m_old;
    CTestPanelDoc m_doc;
};

} // namespace

TEST(Document, PathTitleAndModifiedFlag) {
    CTestPanelDoc doc;
    EXPECT_TRUE(doc.GetPathName().empty());
    EXPECT_FALSE(doc.IsModified());
    doc.RecordChange(false, true);
    EXPECT_FALSE(doc.IsModified());
    doc.RecordChange(true, false);
    EXPECT_TRUE(doc.IsModified());
    doc.SetPathName("/some/folder/cat.vlm");
    EXPECT_EQ(doc.GetTitle(), "cat.vlm");
    EXPECT_EQ(doc.m_panel.m_image.m_strHomeFolder, "/some/folder/");
}

TEST(Document, RecordChangeStampsThePictureMark) {
    CTestPanelDoc doc;
    doc.RecordChange(false, true);
    EXPECT_EQ(doc.m_panel.m_bImageChanged, 1);
    doc.RecordChange(true, false);
    EXPECT_EQ(doc.m_panel.m_bImageChanged, 0);
}

TEST_F(SaveTest, ASuccessfulSaveReplacesTheFileAndClearsTheFlag) {
    ASSERT_EQ(m_doc.OnSaveDocument(m_strTarget), EDocOutcome::Saved);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(ReadBytes(m_strTarget), StorePanel(m_doc.m_panel));
    EXPECT_EQ(ListFolder(m_dir.Path()), std::vector<std::string>{"panel.vlm"});
    EXPECT_EQ(m_doc.GetPathName(), m_strTarget);
}

TEST_F(SaveTest, AWriteFailingPartWayLeavesTheOldFile) {
    const EDocOutcome outcome = SaveWithFileSizeLimit(m_doc, m_strTarget, 512);
    EXPECT_EQ(outcome, EDocOutcome::FailedToSave);
    ExpectOldFileIntact();
    // Once writing works again, the same document saves.
    ASSERT_EQ(m_doc.OnSaveDocument(m_strTarget), EDocOutcome::Saved);
    EXPECT_EQ(ReadBytes(m_strTarget), StorePanel(m_doc.m_panel));
}

TEST_F(SaveTest, ATargetThatIsAFolderIsNotReplaced) {
    const std::string folder = m_dir.Path("folder.vlm");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(m_doc.OnSaveDocument(folder), EDocOutcome::FailedToSave);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_doc.GetPathName(), "");
}

TEST_F(SaveTest, AMissingFolderCannotBeUsed) {
    EXPECT_EQ(m_doc.OnSaveDocument(m_dir.Path("no-folder/panel.vlm")), EDocOutcome::FolderUnusable);
    ExpectOldFileIntact();
}

TEST_F(SaveTest, AReadOnlyTargetIsAccessDenied) {
    const testsupport::CHonouredPermissions honoured;
    if (!honoured.Holds()) {
        GTEST_SKIP() << "the right to write read-only files could not be given up";
    }
    ASSERT_EQ(::chmod(m_strTarget.c_str(), 0444), 0);
    EXPECT_EQ(m_doc.OnSaveDocument(m_strTarget), EDocOutcome::AccessDenied);
    ExpectOldFileIntact();
}

TEST_F(SaveTest, AReadOnlyFolderIsAccessDenied) {
    const testsupport::CHonouredPermissions honoured;
    if (!honoured.Holds()) {
        GTEST_SKIP() << "the right to write into read-only folders could not be given up";
    }
    ASSERT_EQ(::chmod(m_dir.Path().c_str(), 0555), 0);
    // A new file there (a writable file already there is written in place).
    EXPECT_EQ(m_doc.OnSaveDocument(m_dir.Path("new.vlm")), EDocOutcome::AccessDenied);
    ::chmod(m_dir.Path().c_str(), 0755);
    ExpectOldFileIntact();
}

TEST_F(SaveTest, SavingKeepsTheFilesPermissions) {
    ASSERT_EQ(::chmod(m_strTarget.c_str(), 0640), 0);
    ASSERT_EQ(m_doc.OnSaveDocument(m_strTarget), EDocOutcome::Saved);
    struct stat st {};
    ASSERT_EQ(::stat(m_strTarget.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(SaveTest, SavingThroughALinkWritesTheLinkedFile) {
    const std::string link = m_dir.Path("link.vlm");
    std::filesystem::create_symlink(m_strTarget, link);
    ASSERT_EQ(m_doc.OnSaveDocument(link), EDocOutcome::Saved);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(m_strTarget), StorePanel(m_doc.m_panel));
}

TEST_F(SaveTest, SaveAsMovesTheHomeFolder) {
    CTempDir other;
    ASSERT_EQ(m_doc.OnSaveDocument(other.Path("copy.vlm")), EDocOutcome::Saved);
    EXPECT_EQ(m_doc.GetTitle(), "copy.vlm");
    EXPECT_EQ(m_doc.m_panel.m_image.m_strHomeFolder, other.Path());
    EXPECT_EQ(ReadBytes(m_strTarget), m_old);
}

TEST(Document, OpenThenSaveGivesTheSameBytes) {
    CTempDir dir;
    CTestPanelDoc original;
    MakeChange(original);
    ASSERT_EQ(original.OnSaveDocument(dir.Path("a.vlm")), EDocOutcome::Saved);
    CTestPanelDoc reopened;
    ASSERT_EQ(reopened.OnOpenDocument(dir.Path("a.vlm")), EDocOutcome::Opened);
    EXPECT_FALSE(reopened.IsModified());
    EXPECT_EQ(reopened.m_panel.m_crBack, 0x00336699u);
    EXPECT_EQ(reopened.m_panel.m_fuki[9].m_nOrder, 1);
    ASSERT_EQ(reopened.OnSaveDocument(dir.Path("b.vlm")), EDocOutcome::Saved);
    EXPECT_EQ(ReadBytes(dir.Path("b.vlm")), ReadBytes(dir.Path("a.vlm")));
}
