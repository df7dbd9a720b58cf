// The picture layer: where an imported picture is placed, its kind, keeping proportions when
// a corner is dragged, copies, and where a picture is looked for when it is decoded again.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "TestSupport.h"
#include "model/FileSystem.h"
#include "model/PanelImage.h"
#include "model/PlaybackPanel.h"
#include "model/TextCodec.h"

namespace {

class PictureTest : public ::testing::Test {
protected:
    // A file that the fake decoder decodes at the given size.
    std::string MakePicture(const std::string& name, int width, int height) {
        WriteBytes(m_dir.Path(name), {0});
        m_decoder.SetSize(name, width, height);
        return m_dir.Path(name);
    }

    CTempDir m_dir;
    CFakeDecoder m_decoder;
};

} // namespace

TEST_F(PictureTest, ImportPlacesThreeHundredWideAtFifty) {
    CPanelImage image;
    ASSERT_EQ(image.Import(MakePicture("a.jpg", 640, 480), m_decoder), EImportResult::Imported);
    EXPECT_EQ(image.m_rcBody, (CRect{50, 50, 350, 275}));
    ASSERT_EQ(image.Import(MakePicture("b.jpg", 1000, 333), m_decoder), EImportResult::Imported);
    EXPECT_EQ(image.m_rcBody, (CRect{50, 50, 350, 149}));
    ASSERT_EQ(image.Import(MakePicture("c.jpg", 3, 1000), m_decoder), EImportResult::Imported);
    EXPECT_EQ(image.m_rcBody, (CRect{50, 50, 350, 100050}));
    EXPECT_EQ(image.m_bitmap->Width(), 3);
}

TEST_F(PictureTest, ImportRecordsNameAndPathAndKeepsWaitAndBorder) {
    CPanelImage image;
    image.m_nWait = 77;
    image.m_crBorder = 0x123456;
    image.m_nBorderWidth = 4;
    const std::string path = MakePicture("a.jpg", 640, 480);
    ASSERT_EQ(image.Import(path, m_decoder), EImportResult::Imported);
    EXPECT_EQ(image.m_strName, "a.jpg");
    EXPECT_EQ(image.m_strPath, path);
    EXPECT_EQ(image.m_nWait, 77);
    EXPECT_EQ(image.m_crBorder, 0x123456u);
    EXPECT_EQ(image.m_nBorderWidth, 4);
}

TEST_F(PictureTest, KindFollowsTheExactExtension) {
    CPanelImage image;
    image.Import(MakePicture("photo.JPG", 10, 10), m_decoder);
    EXPECT_EQ(image.m_nKind, KIND_JPEG);
    image.Import(MakePicture("photo.bmp", 10, 10), m_decoder);
    EXPECT_EQ(image.m_nKind, KIND_BMP);
    ASSERT_EQ(image.Import(MakePicture("photo.Jpg", 20, 10), m_decoder), EImportResult::Imported);
    EXPECT_EQ(image.m_nKind, KIND_BMP);
    EXPECT_EQ(image.m_strName, "photo.Jpg");
    EXPECT_EQ(image.m_rcBody, (CRect{50, 50, 350, 200}));
    ASSERT_EQ(image.Import(MakePicture("photo.jpeg", 10, 10), m_decoder), EImportResult::Imported);
    EXPECT_EQ(image.m_nKind, KIND_BMP);
    image.Import(MakePicture("photo.jpg", 10, 10), m_decoder);
    EXPECT_EQ(image.m_nKind, KIND_JPEG);
    image.Import(MakePicture("photo.BMP", 10, 10), m_decoder);
    EXPECT_EQ(image.m_nKind, KIND_BMP);
}

TEST_F(PictureTest, AnUndecodableImportChangesNothing) {
    CPanelImage image;
    ASSERT_EQ(image.Import(MakePicture("a.jpg", 640, 480), m_decoder), EImportResult::Imported);
    WriteBytes(m_dir.Path("broken.jpg"), {0}); // exists, but the decoder refuses it
    EXPECT_EQ(image.Import(m_dir.Path("broken.jpg"), m_decoder), EImportResult::Undecodable);
    EXPECT_EQ(image.Import(m_dir.Path("missing.jpg"), m_decoder), EImportResult::Undecodable);
    EXPECT_EQ(image.m_strName, "a.jpg");
    EXPECT_EQ(image.m_rcBody, (CRect{50, 50, 350, 275}));
    EXPECT_EQ(image.m_bitmap->Width(), 640);
}

TEST_F(PictureTest, ABackslashBelongsToTheFileName) {
    CPanelImage image;
    const std::string path = MakePicture("a\\b.jpg", 10, 10);
    ASSERT_EQ(image.Import(path, m_decoder), EImportResult::Imported);
    EXPECT_EQ(image.m_strName, "a\\b.jpg");
    image.m_strPath.clear();
    image.m_strHomeFolder = m_dir.Path();
    EXPECT_TRUE(image.Reload(m_decoder));
}

TEST_F(PictureTest, ANameCodePage932CannotHoldIsRefused) {
    CPanelImage image;
    const std::string path = MakePicture("\xF0\x9F\x98\x80.jpg", 10, 10); // an emoji
    EXPECT_EQ(image.Import(path, m_decoder), EImportResult::NameNotStorable);
    EXPECT_FALSE(image.HasPicture());
    EXPECT_TRUE(image.m_strName.empty());
}

TEST_F(PictureTest, JapaneseNamesAreStoredAsCodePage932AndFoundAgain) {
    CPanelImage image;
    const std::string path = MakePicture("写真.jpg", 640, 480);
    ASSERT_EQ(image.Import(path, m_decoder), EImportResult::Imported);
    EXPECT_EQ(image.m_strName, "\x8E\xCA\x90\x5E.jpg");
    image.m_bitmap.reset();
    EXPECT_TRUE(image.Reload(m_decoder));
    EXPECT_EQ(m_decoder.m_paths.back(), path);
}

TEST_F(PictureTest, FitToAspectForEachCorner) {
    CPanelImage image;
    ASSERT_EQ(image.Import(MakePicture("a.jpg", 400, 300), m_decoder), EImportResult::Imported);
    const CRect dragged{50, 50, 350, 200};
    CRect r = dragged;
    image.FitToAspect(r, 3);
    EXPECT_EQ(r, (CRect{50, 50, 299, 237}));
    r = dragged;
    image.FitToAspect(r, 2);
    EXPECT_EQ(r, (CRect{101, 13, 350, 200}));
    r = dragged;
    image.FitToAspect(r, 1);
    EXPECT_EQ(r, (CRect{50, 13, 299, 200}));
    r = dragged;
    image.FitToAspect(r, 4);
    EXPECT_EQ(r, (CRect{101, 50, 350, 237}));
    for (int corner : {0, 5, -1}) {
        r = dragged;
        image.FitToAspect(r, corner);
        EXPECT_EQ(r, dragged) << corner;
    }
}

TEST_F(PictureTest, FitToAspectWithoutAPictureChangesNothing) {
    CPanelImage image;
    CRect r{50, 50, 350, 200};
    image.FitToAspect(r, 3);
    EXPECT_EQ(r, (CRect{50, 50, 350, 200}));
}

TEST_F(PictureTest, ClearEmptiesTheLayerButLeavesTheBorder) {
    CPanelImage image;
    ASSERT_EQ(image.Import(MakePicture("a.jpg", 640, 480), m_decoder), EImportResult::Imported);
    image.m_nWait = 5;
    image.m_crBorder = 0xABCDEF;
    image.m_nBorderWidth = 3;
    image.m_nBorderHeight = 4;
    image.Clear();
    EXPECT_FALSE(image.HasPicture());
    EXPECT_EQ(image.m_rcBody, (CRect{0, 0, 0, 0}));
    EXPECT_EQ(image.m_nWait, 30);
    EXPECT_TRUE(image.m_strName.empty());
    EXPECT_TRUE(image.m_strPath.empty());
    EXPECT_EQ(image.m_nKind, KIND_NONE);
    EXPECT_EQ(image.m_crBorder, 0xABCDEFu);
    EXPECT_EQ(image.m_nBorderWidth, 3);
    EXPECT_EQ(image.m_nBorderHeight, 4);
}

TEST_F(PictureTest, CopyFromNeverCopiesThePicture) {
    CPanelImage source;
    ASSERT_EQ(source.Import(MakePicture("a.jpg", 640, 480), m_decoder), EImportResult::Imported);
    source.m_nBorderHeight = 9;
    CPanelImage target;
    target.CopyFrom(source);
    EXPECT_FALSE(target.HasPicture());
    EXPECT_EQ(target.m_strName, "a.jpg");
    EXPECT_EQ(target.m_strPath, source.m_strPath);
    EXPECT_EQ(target.m_nKind, KIND_JPEG);
    EXPECT_EQ(target.m_rcBody, source.m_rcBody);
    EXPECT_EQ(target.m_nBorderHeight, 9);

    CPanelImage keeper;
    ASSERT_EQ(keeper.Import(MakePicture("b.jpg", 100, 100), m_decoder), EImportResult::Imported);
    keeper.CopyFrom(target);
    ASSERT_TRUE(keeper.HasPicture());
    EXPECT_EQ(keeper.m_bitmap->Width(), 100);

    CPanel a;
    CPanel b;
    a.m_image.CopyFrom(source);
    b.CopyFrom(a);
    EXPECT_FALSE(b.m_image.HasPicture());
}

// Reload looks for the picture in the panel's home folder, then at the recorded path, then in
// the current directory; the current directory holds a copy in every case.
TEST_F(PictureTest, ReloadLooksInHomeThenRecordedPathThenCurrentDirectory) {
    enum EWhere { kHome, kRecorded, kCurrent };
    const struct {
        const char* what;
        bool bInHome;
        bool bAtRecordedPath;
        EWhere found;
    } cases[] = {
        {"home first", true, true, kHome},
        {"then the recorded path", false, true, kRecorded},
        {"finally the current directory", false, false, kCurrent},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTempDir home;
        CTempDir cwd;
        WriteBytes(cwd.Path("a.jpg"), {0});
        if (c.bInHome) {
            WriteBytes(home.Path("a.jpg"), {0});
        }
        m_decoder.SetSize("a.jpg", 640, 480);
        CPanelImage image;
        image.m_strName = "a.jpg";
        image.m_strPath =
            c.bAtRecordedPath ? MakePicture("a.jpg", 640, 480) : m_dir.Path("gone/a.jpg");
        image.m_strHomeFolder = home.Path();
        CCurrentDirScope inCwd(cwd.Path());
        ASSERT_TRUE(image.Reload(m_decoder));
        const std::string expected[] = {home.Path("a.jpg"), m_dir.Path("a.jpg"), "a.jpg"};
        EXPECT_EQ(m_decoder.m_paths.back(), expected[c.found]);
    }
}

TEST_F(PictureTest, ReloadWithNoMatchLeavesNoPictureButKeepsTheNames) {
    CTempDir cwd;
    CPanelImage image;
    ASSERT_EQ(image.Import(MakePicture("a.jpg", 640, 480), m_decoder), EImportResult::Imported);
    image.m_strPath = m_dir.Path("gone/a.jpg");
    CCurrentDirScope inCwd(cwd.Path());
    EXPECT_FALSE(image.Reload(m_decoder));
    EXPECT_FALSE(image.HasPicture());
    EXPECT_EQ(image.m_strName, "a.jpg");
    EXPECT_EQ(image.m_strPath, m_dir.Path("gone/a.jpg"));

    CPanelImage empty;
    const int decodes = m_decoder.m_nDecodes;
    EXPECT_FALSE(empty.Reload(m_decoder));
    EXPECT_EQ(m_decoder.m_nDecodes, decodes);
}

TEST_F(PictureTest, ReloadOfAnUndecodableFileLeavesNoPicture) {
    CPanelImage image;
    ASSERT_EQ(image.Import(MakePicture("a.jpg", 640, 480), m_decoder), EImportResult::Imported);
    m_decoder.SetSize("a.jpg", 0, 0); // the decoder now gives an empty picture
    EXPECT_FALSE(image.Reload(m_decoder));
    EXPECT_FALSE(image.HasPicture());
}

TEST_F(PictureTest, LoadingAPanelDecodesItsPictureBesideThePanelFile) {
    CTempDir cwd;
    MakePicture("a.jpg", 640, 480);
    CPanel original;
    original.m_image.m_strName = "a.jpg";
    original.m_image.m_strPath = "C:\\elsewhere\\a.jpg";
    const Bytes bytes = StorePanel(original);
    CCurrentDirScope inCwd(cwd.Path());
    WriteBytes(m_dir.Path("panel.vlm"), bytes);
    CPanel loaded;
    ASSERT_EQ(ReadPanelFile(m_dir.Path("panel.vlm"), loaded, m_decoder).m_eResult,
              EPanelRead::Loaded);
    ASSERT_TRUE(loaded.m_image.HasPicture());
    EXPECT_EQ(m_decoder.m_paths.back(), m_dir.Path("a.jpg"));

    // The bytes alone decode nothing: the reader decodes once the panel is whole.
    const int decodes = m_decoder.m_nDecodes;
    CPanel bytesOnly;
    LoadPanel(bytesOnly, bytes, m_dir.Path("panel.vlm"));
    EXPECT_FALSE(bytesOnly.m_image.HasPicture());
    EXPECT_EQ(m_decoder.m_nDecodes, decodes);

    // Found nowhere: no picture, but saving again still names it.
    WriteBytes(cwd.Path("panel.vlm"), bytes);
    CPanel lost;
    ASSERT_EQ(ReadPanelFile(cwd.Path("panel.vlm"), lost, m_decoder).m_eResult, EPanelRead::Loaded);
    EXPECT_FALSE(lost.m_image.HasPicture());
    EXPECT_EQ(StorePanel(lost), bytes);
}

// A stored name counts by its last component only, so that no name leads out of the folders
// searched; the recorded full path is taken only when it is a regular file.
TEST_F(PictureTest, OnlyTheNamesLastComponentIsLookedFor) {
    CTempDir home;
    CTempDir cwd;
    std::filesystem::create_directories(home.Path("sub"));
    WriteBytes(home.Path("y.jpg"), {0});
    WriteBytes(home.Path("sub/z.jpg"), {0});
    WriteBytes(m_dir.Path("outside.jpg"), {0});
    for (const char* name : {"y.jpg", "z.jpg", "outside.jpg", "sub", ".", ".."}) {
        m_decoder.SetSize(name, 64, 48);
    }
    struct Case {
        std::string name;
        std::string expected; // the path decoded, "" for none
    };
    const Case cases[] = {
        {"../x/y.jpg", home.Path("y.jpg")},
        {"/etc/y.jpg", home.Path("y.jpg")},
        {"sub/z.jpg", ""},               // z.jpg is not in the home folder itself
        {"x/sub", ""},                   // a folder by name is no picture
        {m_dir.Path("outside.jpg"), ""}, // absolute: only its name, not beside home
        {"..", ""},
        {"sub/", ""},
    };
    CCurrentDirScope inCwd(cwd.Path());
    for (const Case& c : cases) {
        CPanelImage image;
        image.m_strName = c.name;
        image.m_strHomeFolder = home.Path();
        EXPECT_EQ(image.ResolvePicturePath(), c.expected) << c.name;
    }
}

TEST_F(PictureTest, TheRecordedPathCountsOnlyAsARegularFile) {
    CTempDir home;
    CTempDir cwd;
    ASSERT_EQ(::mkfifo(m_dir.Path("a.jpg").c_str(), 0600), 0);
    WriteBytes(cwd.Path("a.jpg"), {0});
    m_decoder.SetSize("a.jpg", 64, 48);
    CPanelImage image;
    image.m_strName = "a.jpg";
    image.m_strPath = m_dir.Path("a.jpg");
    image.m_strHomeFolder = home.Path();
    CCurrentDirScope inCwd(cwd.Path());
    EXPECT_EQ(image.ResolvePicturePath(), "a.jpg");
}
