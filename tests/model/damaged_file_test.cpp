// Damaged and unusual files through the document open sequence: each gives its outcome, never
// a crash, and never an allocation beyond what the file's bytes could fill.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "AllocationProbe.h"
#include "FilePermissions.h"
#include "TestSupport.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"

namespace {

constexpr std::size_t kPictureName = 28 + 32; // offset of the picture's name in a panel file
constexpr std::size_t kSmallAllocation = 1 << 20;

// A panel file that uses the one- and three-byte prefixes and every kind of field.
Bytes RichPanelBytes() {
    CPanel panel;
    panel.m_image.m_strName = "a.jpg";
    panel.m_image.m_strPath = std::string(300, 'p');
    panel.AddFuki();
    panel.m_fuki[9].m_strText = std::string(255, 't');
    panel.m_fuki[9].m_strFontFace = "face";
    return StorePanel(panel);
}

// A panel file whose picture name carries the given prefix, followed by a few bytes only.
Bytes PanelWithNamePrefix(std::initializer_list<int> prefix) {
    Bytes bytes = DefaultPanelBytes();
    bytes.resize(kPictureName);
    PutBytes(bytes, prefix);
    PutText(bytes, "only a few bytes follow");
    return bytes;
}

class DamagedFileTest : public ::testing::Test {
protected:
    EDocOutcome OpenPanel(const Bytes& bytes) {
        WriteBytes(m_dir.Path("p.vlm"), bytes);
        CTestPanelDoc doc;
        return doc.OnOpenDocument(m_dir.Path("p.vlm"));
    }
    EDocOutcome OpenShow(const Bytes& bytes, CVelmoShowDoc& doc) {
        WriteBytes(m_dir.Path("s.vls"), bytes);
        return doc.OnOpenDocument(m_dir.Path("s.vls"));
    }

    CTempDir m_dir;
};

} // namespace

TEST_F(DamagedFileTest, EveryTruncationIsAnUnexpectedFormat) {
    const Bytes whole = RichPanelBytes();
    ASSERT_EQ(OpenPanel(whole), EDocOutcome::Opened);
    for (std::size_t length = 1; length < whole.size(); ++length) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        ASSERT_EQ(OpenPanel(cut), EDocOutcome::UnexpectedFileFormat) << "length " << length;
    }
    Bytes def = DefaultPanelBytes();
    def.pop_back();
    EXPECT_EQ(OpenPanel(def), EDocOutcome::UnexpectedFileFormat);
}

TEST_F(DamagedFileTest, ASevenBytePrefixCutShortIsAnUnexpectedFormat) {
    CPanel panel;
    panel.m_fuki[0].m_strText = std::string(65534, 'x');
    const Bytes whole = StorePanel(panel);
    ASSERT_EQ(OpenPanel(whole), EDocOutcome::Opened);
    const std::size_t text = 28 + 38 + 72;
    for (std::size_t length : {text + 1, text + 3, text + 6, text + 7, text + 1000}) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(OpenPanel(cut), EDocOutcome::UnexpectedFileFormat) << length;
    }
}

TEST_F(DamagedFileTest, AnEmptyFileOpensAsANewPanel) {
    WriteBytes(m_dir.Path("empty.vlm"), {});
    CTestPanelDoc doc;
    ASSERT_EQ(doc.OnOpenDocument(m_dir.Path("empty.vlm")), EDocOutcome::Opened);
    EXPECT_EQ(doc.m_panel.m_crBack, 0x00FFFFFFu);
    EXPECT_EQ(doc.m_panel.m_rcTotal, (CRect{0, 0, 640, 480}));
    EXPECT_EQ(doc.m_panel.CountFuki(), 0);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "empty.vlm");
}

TEST_F(DamagedFileTest, ExtraBytesAfterTheTenthBalloonAreIgnored) {
    Bytes bytes = DefaultPanelBytes();
    PutText(bytes, "trailing bytes");
    EXPECT_EQ(OpenPanel(bytes), EDocOutcome::Opened);
}

TEST_F(DamagedFileTest, A64BitLengthOf2To31OrMoreFailsToOpen) {
    EXPECT_EQ(OpenPanel(PanelWithNamePrefix(
                  {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0, 0, 0, 0})),
              EDocOutcome::FailedToOpen);
    EXPECT_EQ(OpenPanel(PanelWithNamePrefix({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                             0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})),
              EDocOutcome::FailedToOpen);
    // Behind the wide-text tag as well.
    EXPECT_EQ(OpenPanel(PanelWithNamePrefix({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                             0xFF, 0x00, 0x00, 0x00, 0x80, 0, 0, 0, 0})),
              EDocOutcome::FailedToOpen);
}

TEST_F(DamagedFileTest, HugeLengthsAreAnUnexpectedFormatWithoutAllocating) {
    const std::initializer_list<int> prefixes[] = {
        {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}, // 32-bit 4 GiB - 2
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, // 32-bit 2 GiB - 1
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}, // 64-bit
        {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F}, // wide, 32-bit
        {0xFF, 0xFD, 0xFF},                                           // 16-bit
    };
    for (const auto& prefix : prefixes) {
        const Bytes bytes = PanelWithNamePrefix(prefix);
        CAllocationProbe probe;
        EXPECT_EQ(OpenPanel(bytes), EDocOutcome::UnexpectedFileFormat);
        EXPECT_LT(probe.Largest(), kSmallAllocation);
    }
}

TEST_F(DamagedFileTest, AFileTooLargeForAnyDocumentIsRefusedUnread) {
    const std::string path = m_dir.Path("huge.vlm");
    WriteBytes(path, DefaultPanelBytes());
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(kMaxDocumentFileBytes) + 1);
    CTestPanelDoc doc;
    CAllocationProbe probe;
    EXPECT_EQ(doc.OnOpenDocument(path), EDocOutcome::FailedToOpen);
    EXPECT_LT(probe.Largest(), kSmallAllocation);
}

TEST_F(DamagedFileTest, MissingAndUnreadableFiles) {
    CTestPanelDoc doc;
    EXPECT_EQ(doc.OnOpenDocument(m_dir.Path("missing.vlm")), EDocOutcome::NotFound);
    EXPECT_EQ(doc.OnOpenDocument(m_dir.Path("no-folder/p.vlm")), EDocOutcome::NotFound);
    std::filesystem::create_directory(m_dir.Path("folder.vlm"));
    EXPECT_EQ(doc.OnOpenDocument(m_dir.Path("folder.vlm")), EDocOutcome::OtherFileError);
}

TEST_F(DamagedFileTest, AFileWithoutReadPermissionIsAccessDenied) {
    const testsupport::CHonouredPermissions honoured;
    if (!honoured.Holds()) {
        GTEST_SKIP() << "the right to read files without read permission could not be given up";
    }
    WriteBytes(m_dir.Path("locked.vlm"), DefaultPanelBytes());
    ASSERT_EQ(::chmod(m_dir.Path("locked.vlm").c_str(), 0), 0);
    CTestPanelDoc doc;
    EXPECT_EQ(doc.OnOpenDocument(m_dir.Path("locked.vlm")), EDocOutcome::AccessDenied);
}

TEST_F(DamagedFileTest, ShowShorterThanItsHeader) {
    for (std::size_t length : {1u, 4u, 11u}) {
        CVelmoShowDoc doc;
        EXPECT_EQ(OpenShow(Bytes(length, 0), doc), EDocOutcome::UnexpectedFileFormat) << length;
    }
}

TEST_F(DamagedFileTest, ShowWithFewerNamesThanItsCount) {
    Bytes bytes;
    PutInt32(bytes, 0);
    PutInt32(bytes, 2);
    PutInt32(bytes, 0);
    PutBytes(bytes, {0x01, 'a', 0x05, 'b'});
    CVelmoShowDoc doc;
    EXPECT_EQ(OpenShow(bytes, doc), EDocOutcome::UnexpectedFileFormat);
}

TEST_F(DamagedFileTest, ShowWithANegativeCountKeepsItAndReadsNoNames) {
    Bytes bytes;
    PutInt32(bytes, 5);
    PutInt32(bytes, -3);
    PutInt32(bytes, 6);
    PutBytes(bytes, {0x01, 'a'}); // never read
    CVelmoShowDoc doc;
    ASSERT_EQ(OpenShow(bytes, doc), EDocOutcome::Opened);
    EXPECT_EQ(doc.m_show.m_nCount, -3);
    EXPECT_EQ(doc.m_show.m_nHeader, 5);
    EXPECT_EQ(doc.m_show.m_nReserved, 6);
    EXPECT_TRUE(doc.m_show.m_strNames[0].empty());
    ASSERT_EQ(doc.OnSaveDocument(m_dir.Path("again.vls")), EDocOutcome::Saved);
    EXPECT_EQ(ReadBytes(m_dir.Path("again.vls")), Bytes(bytes.begin(), bytes.begin() + 12));
}

TEST_F(DamagedFileTest, ShowCountAboveOneHundredIsAnUnexpectedFormat) {
    for (std::int32_t count : {101, 0x7FFFFFFF}) {
        Bytes bytes;
        PutInt32(bytes, 0);
        PutInt32(bytes, count);
        PutInt32(bytes, 0);
        for (int i = 0; i < 101; ++i) {
            PutBytes(bytes, {0x01, 'n'});
        }
        CVelmoShowDoc doc;
        CAllocationProbe probe;
        EXPECT_EQ(OpenShow(bytes, doc), EDocOutcome::UnexpectedFileFormat) << count;
        EXPECT_LT(probe.Largest(), kSmallAllocation);
        EXPECT_EQ(doc.m_show.m_nCount, 0);
    }
}

TEST_F(DamagedFileTest, ShowWithOneHundredNamesOpens) {
    Bytes bytes;
    PutInt32(bytes, 0);
    PutInt32(bytes, 100);
    PutInt32(bytes, 0);
    for (int i = 0; i < 100; ++i) {
        PutBytes(bytes, {0x01, 'n'});
    }
    CVelmoShowDoc doc;
    ASSERT_EQ(OpenShow(bytes, doc), EDocOutcome::Opened);
    EXPECT_EQ(doc.m_show.m_nCount, 100);
    EXPECT_EQ(doc.m_show.m_strNames[99], "n");
}

TEST_F(DamagedFileTest, ShowNameWithAHugeLength) {
    Bytes bytes;
    PutInt32(bytes, 0);
    PutInt32(bytes, 1);
    PutInt32(bytes, 0);
    PutBytes(bytes, {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'a'});
    CVelmoShowDoc doc;
    CAllocationProbe probe;
    EXPECT_EQ(OpenShow(bytes, doc), EDocOutcome::UnexpectedFileFormat);
    EXPECT_LT(probe.Largest(), kSmallAllocation);
}
