// The undo history: twenty snapshots, redo steps dropped by a new change, and the picture
// decoded again only when a step that replaced it is crossed.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "model/VelmoDoc.h"

namespace {

// A document as the editor holds it after the view attached: one initial snapshot.
void Attach(CVelmoDoc& doc) {
    doc.ResetHistory();
}

void ImportAndRecord(CVelmoDoc& doc, const std::string& path) {
    ASSERT_EQ(doc.m_panel.m_image.Import(path, doc.PictureDecoder()), EImportResult::Imported)
        << path;
    doc.RecordChange(true, true);
}

int PictureWidth(const CVelmoDoc& doc) {
    return doc.m_panel.m_image.HasPicture() ? doc.m_panel.m_image.m_bitmap->Width() : 0;
}

// A panel that imported a.jpg and then b.jpg (of the given sizes), one step each.
struct STwoPictures {
    CTempDir dir;
    CFakeDecoder decoder;
    CVelmoDoc doc{decoder};

    STwoPictures(int aWidth, int aHeight, int bWidth, int bHeight) {
        WriteBytes(dir.Path("a.jpg"), {1});
        WriteBytes(dir.Path("b.jpg"), {2});
        decoder.SetSize("a.jpg", aWidth, aHeight);
        decoder.SetSize("b.jpg", bWidth, bHeight);
        Attach(doc);
        ImportAndRecord(doc, dir.Path("a.jpg"));
        ImportAndRecord(doc, dir.Path("b.jpg"));
    }
};

} // namespace

TEST(History, FreshDocumentHasNothingToUndoOrRedo) {
    CTestPanelDoc doc;
    EXPECT_FALSE(doc.Undo());
    EXPECT_FALSE(doc.Redo());
    Attach(doc);
    EXPECT_EQ(doc.m_history.Count(), 1);
    EXPECT_FALSE(doc.Undo());
    EXPECT_FALSE(doc.Redo());
    EXPECT_FALSE(doc.IsModified());
}

TEST(History, UndoAndRedoAnAddedBalloon) {
    CTestPanelDoc doc;
    Attach(doc);
    const int slot = doc.AddFuki();
    ASSERT_EQ(slot, 9);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.m_panel.m_fuki[9].m_nOrder, kFreeSlot);
    EXPECT_EQ(doc.m_panel.CountFuki(), 0);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.m_panel.m_fuki[9].m_nOrder, 1);
    EXPECT_FALSE(doc.Redo());
}

TEST(History, TwentyFiveChangesLeaveNineteenUndos) {
    CTestPanelDoc doc;
    Attach(doc);
    for (int change = 1; change <= 25; ++change) {
        doc.m_panel.m_nFirstWait = change;
        doc.RecordChange(true, false);
    }
    EXPECT_EQ(doc.m_history.Count(), 20);
    for (int i = 1; i <= 19; ++i) {
        ASSERT_TRUE(doc.Undo()) << "undo " << i;
    }
    EXPECT_FALSE(doc.Undo());
    EXPECT_EQ(doc.m_panel.m_nFirstWait, 6); // the state after the sixth change
    for (int i = 1; i <= 19; ++i) {
        ASSERT_TRUE(doc.Redo()) << "redo " << i;
    }
    EXPECT_FALSE(doc.Redo());
    EXPECT_EQ(doc.m_panel.m_nFirstWait, 25);
}

TEST(History, ANewChangeDropsTheRedoSteps) {
    CTestPanelDoc doc;
    Attach(doc);
    for (int change = 1; change <= 3; ++change) {
        doc.m_panel.m_nFirstWait = change;
        doc.RecordChange(true, false);
    }
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.m_panel.m_nFirstWait, 1);
    doc.m_panel.m_nFirstWait = 99;
    doc.RecordChange(true, false);
    EXPECT_FALSE(doc.Redo());
    EXPECT_EQ(doc.m_history.Count(), 3);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.m_panel.m_nFirstWait, 1);
}

TEST(History, CrossingPictureChangesDecodesTheStateArrivedAt) {
    STwoPictures panel(640, 480, 1000, 333);
    CFakeDecoder& decoder = panel.decoder;
    CVelmoDoc& doc = panel.doc;
    EXPECT_EQ(decoder.m_nDecodes, 2);

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(decoder.m_nDecodes, 3);
    EXPECT_EQ(doc.m_panel.m_image.m_strName, "a.jpg");
    EXPECT_EQ(PictureWidth(doc), 640);
    EXPECT_EQ(doc.m_panel.m_image.m_rcBody, (CRect{50, 50, 350, 275}));

    ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.m_panel.m_image.HasPicture());
    EXPECT_TRUE(doc.m_panel.m_image.m_strName.empty());

    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(PictureWidth(doc), 640);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(PictureWidth(doc), 1000);
    EXPECT_EQ(doc.m_panel.m_image.m_strName, "b.jpg");
    EXPECT_EQ(doc.m_panel.m_image.m_rcBody, (CRect{50, 50, 350, 149}));
}

TEST(History, StepsThatKeepThePictureDoNotDecodeIt) {
    CTempDir dir;
    WriteBytes(dir.Path("a.jpg"), {1});
    CFakeDecoder decoder;
    decoder.SetSize("a.jpg", 640, 480);

    CVelmoDoc doc(decoder);
    Attach(doc);
    ImportAndRecord(doc, dir.Path("a.jpg"));
    const CDecodedPicture* picture = doc.m_panel.m_image.m_bitmap.get();
    const int decodes = decoder.m_nDecodes;
    doc.AddFuki();
    doc.m_panel.m_image.m_rcBody = CRect{0, 0, 10, 10};
    doc.RecordChange(true, false);

    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.m_panel.CountFuki(), 0);
    EXPECT_EQ(decoder.m_nDecodes, decodes);
    EXPECT_EQ(doc.m_panel.m_image.m_bitmap.get(), picture);
    EXPECT_EQ(doc.m_panel.m_image.m_rcBody, (CRect{50, 50, 350, 275}));
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(decoder.m_nDecodes, decodes);
}

TEST(History, UndoFindsTheEarlierPictureAfterTheCurrentDirectoryMoved) {
    STwoPictures panel(400, 300, 640, 480);
    CTempDir elsewhere;
    CCurrentDirScope cwd(elsewhere.Path());
    ASSERT_TRUE(panel.doc.Undo());
    EXPECT_EQ(PictureWidth(panel.doc), 400);
    EXPECT_EQ(panel.decoder.m_paths.back(), panel.dir.Path("a.jpg"));
}

TEST(History, AMissingPictureLeavesThePanelWithoutOneButKeepsItsName) {
    STwoPictures panel(400, 300, 640, 480);
    std::filesystem::remove(panel.dir.Path("a.jpg"));
    ASSERT_TRUE(panel.doc.Undo());
    EXPECT_FALSE(panel.doc.m_panel.m_image.HasPicture());
    EXPECT_EQ(panel.doc.m_panel.m_image.m_strName, "a.jpg");
}

TEST(History, SaveThenUndoLeavesTheDocumentUnmodified) {
    CTempDir dir;
    CTestPanelDoc doc;
    Attach(doc);
    doc.m_panel.m_crBack = 0x112233;
    doc.RecordChange(true, false);
    ASSERT_EQ(doc.OnSaveDocument(dir.Path("p.vlm")), EDocOutcome::Saved);
    EXPECT_FALSE(doc.IsModified());
    // The history itself only moves between snapshots; the document's Undo marks it modified.
    ASSERT_TRUE(doc.m_history.Undo(doc.m_panel, doc.PictureDecoder()));
    EXPECT_EQ(doc.m_panel.m_crBack, 0x00FFFFFFu);
    EXPECT_FALSE(doc.IsModified());
}
