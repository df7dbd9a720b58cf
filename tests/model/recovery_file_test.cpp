// Recovery files: the index survives any path or title, anything less than a whole file is
// refused, owners are told apart by boot, process id and start time, orphaned files are taken
// over once, the worker writes and removes in order, and a restored document saves the same
// bytes as the document it copies.
#include <gtest/gtest.h>

#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"
#include "model/Archive.h"
#include "model/FileSystem.h"
#include "model/RecoveryFile.h"
#include "model/RecoveryWriter.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"

namespace {

SRecoveryIndex SampleIndex() {
    SRecoveryIndex index;
    index.strKind = ".vlm";
    index.strPath = "/home/a/odd %0A name\nwith\r\nbreaks.vlm";
    index.strTitle = "odd %0A name\nwith\r\nbreaks.vlm";
    index.nTime = 1765000000;
    index.strVersion = "1.1.0";
    index.owner = SProcessIdentity{"0123456789abcdef0123456789abcdef", 4242, 987654};
    return index;
}

TEST(RecoveryFileTest, IndexAndBytesRoundTrip) {
    const Bytes document = {0, 1, 2, '\n', '\n', 0xFF, 'x'};
    const Bytes file = EncodeRecoveryFile(SampleIndex(), document);
    SRecoveryIndex index;
    Bytes read;
    ASSERT_TRUE(DecodeRecoveryFile(file, index, read));
    EXPECT_EQ(read, document);
    const SRecoveryIndex expected = SampleIndex();
    EXPECT_EQ(index.strKind, expected.strKind);
    EXPECT_EQ(index.strPath, expected.strPath);
    EXPECT_EQ(index.strTitle, expected.strTitle);
    EXPECT_EQ(index.nTime, expected.nTime);
    EXPECT_EQ(index.strVersion, expected.strVersion);
    EXPECT_EQ(index.owner, expected.owner);
}

TEST(RecoveryFileTest, EveryShortenedOrLengthenedFileIsRefused) {
    const Bytes file = EncodeRecoveryFile(SampleIndex(), DefaultPanelBytes());
    SRecoveryIndex index;
    Bytes read;
    for (std::size_t n = 0; n < file.size(); ++n) {
        ASSERT_FALSE(DecodeRecoveryFile(Bytes(file.begin(), file.begin() + n), index, read)) << n;
    }
    Bytes longer = file;
    longer.push_back(0);
    EXPECT_FALSE(DecodeRecoveryFile(longer, index, read));
}

TEST(RecoveryFileTest, DamagedIndexesAreRefused) {
    const std::string body = "kind=.vlm\npath=\ntitle=a\ntime=1\nbytes=0\n\n";
    const char* const damaged[] = {
        "",
        "velmo-recovery 2\nkind=.vlm\npath=\ntitle=a\nbytes=0\n\n", // a later format
        "velmo-recovery 1\npath=\ntitle=a\nbytes=0\n\n",            // no kind
        "velmo-recovery 1\nkind=.vlm\npath=%zz\ntitle=a\nbytes=0\n\n",
        "velmo-recovery 1\nkind=.vlm\npath=\ntitle=a\nbytes=-1\n\n",
        "velmo-recovery 1\nkind=.vlm\npath=\ntitle=a\nbytes=1x\n\n",
        "velmo-recovery 1\nkind=.vlm\npath=\ntitle=a\ntime=soon\nbytes=0\n\n",
        "velmo-recovery 1\nkind=.vlm\npath=\ntitle=a\nno equals sign\nbytes=0\n\n",
        "velmo-recovery 1\nkind=.vlm\npath=\ntitle=a\nbytes=99999999999999999999\n\n",
    };
    SRecoveryIndex index;
    Bytes read;
    for (const char* text : damaged) {
        EXPECT_FALSE(DecodeRecoveryFile(Bytes(text, text + std::strlen(text)), index, read))
            << text;
    }
    const std::string good = "velmo-recovery 1\n" + body;
    EXPECT_TRUE(DecodeRecoveryFile(Bytes(good.begin(), good.end()), index, read));
}

TEST(RecoveryFileTest, FileNamesNameTheirOwner) {
    const SProcessIdentity owner{"00ff00ff00ff00ff00ff00ff00ff00ff", 77, 123};
    const std::string name = RecoveryFileName(owner, 5);
    SProcessIdentity parsed;
    ASSERT_TRUE(ParseRecoveryFileName(name, parsed));
    EXPECT_EQ(parsed, owner);
    for (const char* other :
         {"x.vrec", "00ff-1-2.vrec", "00ff-1-2-3-4.vrec", "00FF-1-2-3.vrec", "00ff-1-2-3.vlm",
          ".00ff-1-2-3.vrec.tmp-ab12", "00ff--2-3.vrec", "00ff-1-2-3.vrec~"}) {
        EXPECT_FALSE(ParseRecoveryFileName(other, parsed)) << other;
    }
}

TEST(RecoveryFileTest, OwnersAreRunningOnlyAsThemselves) {
    const SProcessIdentity self = CurrentProcessIdentity();
    EXPECT_EQ(self.strBootId.size(), 32u);
    EXPECT_TRUE(IsProcessRunning(self));
    SProcessIdentity restarted = self;
    restarted.nStartTime += 1; // the same process id, used again by a later process
    EXPECT_FALSE(IsProcessRunning(restarted));
    SProcessIdentity otherBoot = self;
    otherBoot.strBootId[0] = otherBoot.strBootId[0] == '0' ? '1' : '0';
    EXPECT_FALSE(IsProcessRunning(otherBoot));

    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    SProcessIdentity gone = self;
    gone.nPid = child;
    EXPECT_FALSE(IsProcessRunning(gone));
}

TEST(RecoveryFileTest, OrphansAreClaimedOnceAndOthersLeftAlone) {
    const CTempDir dir;
    const SProcessIdentity self = CurrentProcessIdentity();
    SProcessIdentity dead = self;
    dead.nStartTime += 1;
    WriteBytes(dir.Path(RecoveryFileName(dead, 1)), {'a'});
    WriteBytes(dir.Path(RecoveryFileName(dead, 2)), {'b'});
    WriteBytes(dir.Path(RecoveryFileName(self, 9)), {'s'});
    // Another copy of the program, running until its pipe closes.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        ::close(pipeFds[1]);
        char c;
        (void)::read(pipeFds[0], &c, 1);
        ::_exit(0);
    }
    ASSERT_GT(other, 0);
    ::close(pipeFds[0]);
    const SProcessIdentity otherCopy = ProcessIdentityOf(other);
    WriteBytes(dir.Path(RecoveryFileName(otherCopy, 1)), {'o'});
    WriteBytes(dir.Path("in-place-copy.vlm"), {'c'});

    unsigned serial = 100;
    const auto claimed = ClaimOrphanedRecoveryFiles(dir.Path(), self, serial);
    ASSERT_EQ(claimed.size(), 2u);
    EXPECT_EQ(claimed[0], dir.Path(RecoveryFileName(self, 100)));
    EXPECT_EQ(ReadBytes(claimed[0]), Bytes{'a'});
    EXPECT_EQ(ReadBytes(claimed[1]), Bytes{'b'});
    EXPECT_EQ(serial, 102u);
    // Taken files carry this process's name now: nobody claims them while it runs.
    unsigned again = 200;
    EXPECT_TRUE(ClaimOrphanedRecoveryFiles(dir.Path(), self, again).empty());
    EXPECT_EQ(ListFolder(dir.Path()).size(), 5u);
    // Once the other copy is gone, its file is an orphan too.
    ::close(pipeFds[1]);
    int status = 0;
    ::waitpid(other, &status, 0);
    const auto late = ClaimOrphanedRecoveryFiles(dir.Path(), self, again);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(ReadBytes(late[0]), Bytes{'o'});
}

TEST(RecoveryWriterTest, WritesAndRemovesInOrder) {
    const CTempDir dir;
    const std::string a = dir.Path("a.vrec");
    const std::string b = dir.Path("b.vrec");
    {
        CRecoveryWriter writer;
        writer.Write(a, {1});
        writer.Write(b, {2});
        writer.Write(a, {3});
        writer.Flush();
        EXPECT_EQ(ReadBytes(a), Bytes{3});
        EXPECT_EQ(ReadBytes(b), Bytes{2});
        writer.Remove(a);
        writer.Write(b, {4, 5});
        writer.Remove(b);
        writer.Write(b, {6});
        // Jobs still waiting are done before the writer goes.
    }
    EXPECT_FALSE(IsRegularFile(a));
    EXPECT_EQ(ReadBytes(b), Bytes{6});
    CRecoveryWriter failing;
    failing.Write(dir.Path("missing/x.vrec"), {1});
    failing.Flush();
    EXPECT_EQ(failing.FailedWrites(), 1);
}

TEST(RestoreDocumentTest, RestoredPanelSavesTheBytesOfTheLostOne) {
    const CTempDir dir;
    CTestPanelDoc lost;
    lost.RecordChange(false, false);
    lost.AddFuki();
    lost.m_panel.m_fuki[0].m_strText = "\x82\xa0\x82\xa2"; // two kana in code page 932
    lost.m_panel.m_crBack = 0x00123456;
    CArchive out = CArchive::ForStoring(dir.Path("p.vlm"));
    lost.Serialize(out);
    const Bytes copy = out.GetStoredBytes();

    CTestPanelDoc restored;
    ASSERT_EQ(restored.OnRestoreDocument(copy, dir.Path("p.vlm"), "ignored"), EDocOutcome::Opened);
    EXPECT_TRUE(restored.IsModified());
    EXPECT_EQ(restored.GetPathName(), dir.Path("p.vlm"));
    EXPECT_EQ(restored.GetTitle(), "p.vlm");
    ASSERT_EQ(restored.OnSaveDocument(restored.GetPathName()), EDocOutcome::Saved);
    EXPECT_EQ(ReadBytes(dir.Path("p.vlm")), copy);
    EXPECT_FALSE(restored.IsModified());

    CVelmoShowDoc untitled;
    EXPECT_EQ(untitled.OnRestoreDocument({}, "", "ショー2"), EDocOutcome::Opened);
    EXPECT_EQ(untitled.GetTitle(), "ショー2");
    EXPECT_TRUE(untitled.GetPathName().empty());
    EXPECT_TRUE(untitled.IsModified());

    CTestPanelDoc damaged;
    EXPECT_EQ(damaged.OnRestoreDocument(Bytes(copy.begin(), copy.begin() + 20), "", "無題1"),
              EDocOutcome::UnexpectedFileFormat);
}

TEST(RestoreDocumentTest, EveryMarkedChangeCounts) {
    CTestPanelDoc doc;
    const auto before = doc.GetChangeCount();
    doc.RecordChange(false, false);
    EXPECT_EQ(doc.GetChangeCount(), before);
    doc.AddFuki();
    doc.AddFuki();
    EXPECT_EQ(doc.GetChangeCount(), before + 2);
    doc.SetModifiedFlag(false);
    EXPECT_EQ(doc.GetChangeCount(), before + 2);
}

} // namespace
