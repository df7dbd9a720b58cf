// The show record and its file: exact bytes, names kept as listed, the folder taken from the
// file read, and the two ways a play command builds a show from a path.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "model/Archive.h"
#include "model/VelmoShowDoc.h"

#include <string>
#include <vector>

namespace {

Bytes ShowBytes(std::int32_t header, std::int32_t count, std::int32_t reserved,
                const std::vector<std::string>& names) {
    Bytes bytes;
    PutInt32(bytes, header);
    PutInt32(bytes, count);
    PutInt32(bytes, reserved);
    for (const std::string& name : names) {
        CArchive ar = CArchive::ForStoring();
        ar.WriteString(name);
        bytes.insert(bytes.end(), ar.GetStoredBytes().begin(), ar.GetStoredBytes().end());
    }
    return bytes;
}

} // namespace

TEST(Show, TwoNamesAreSixteenBytes) {
    CTempDir dir;
    CVelmoShowDoc doc;
    doc.m_show.m_nCount = 2;
    doc.m_show.m_strNames[0] = "a";
    doc.m_show.m_strNames[1] = "b";
    ASSERT_EQ(doc.OnSaveDocument(dir.Path("two.vls")), EDocOutcome::Saved);
    const Bytes expected = {0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x61, 0x01, 0x62};
    EXPECT_EQ(ReadBytes(dir.Path("two.vls")), expected);
}

TEST(Show, AnEmptyFileOpensEmptyAndSavesTwelveZeroBytes) {
    CTempDir dir;
    WriteBytes(dir.Path("new.vls"), {});
    CVelmoShowDoc doc;
    ASSERT_EQ(doc.OnOpenDocument(dir.Path("new.vls")), EDocOutcome::Opened);
    EXPECT_EQ(doc.m_show.m_nCount, 0);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_EQ(doc.OnSaveDocument(dir.Path("new.vls")), EDocOutcome::Saved);
    EXPECT_EQ(ReadBytes(dir.Path("new.vls")), Bytes(12, 0));
}

TEST(Show, HeaderAndReservedWordsGoBackUnchanged) {
    CTempDir dir;
    const Bytes bytes = ShowBytes(0x12345678, 0, -1, {});
    WriteBytes(dir.Path("s.vls"), bytes);
    CVelmoShowDoc doc;
    ASSERT_EQ(doc.OnOpenDocument(dir.Path("s.vls")), EDocOutcome::Opened);
    EXPECT_EQ(doc.m_show.m_nHeader, 0x12345678);
    EXPECT_EQ(doc.m_show.m_nReserved, -1);
    ASSERT_EQ(doc.OnSaveDocument(dir.Path("s.vls")), EDocOutcome::Saved);
    EXPECT_EQ(ReadBytes(dir.Path("s.vls")), bytes);
}

TEST(Show, NamesRoundTripInOrderWithDuplicatesAndLongNames) {
    const std::vector<std::string> names = {
        "a", "b", "a", std::string(255, 'n'), std::string(300, 'm'), "\x8E\xCA\x90\x5E", "a"};
    const Bytes bytes = ShowBytes(0, static_cast<std::int32_t>(names.size()), 0, names);
    CArchive in = CArchive::ForLoading(bytes, "/shows/trip.vls");
    CShowData show;
    show.Serialize(in);
    ASSERT_EQ(show.m_nCount, 7);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(show.m_strNames[i], names[i]) << i;
    }
    EXPECT_EQ(show.m_strFolder, "/shows/");
    CArchive out = CArchive::ForStoring();
    show.Serialize(out);
    EXPECT_EQ(out.GetStoredBytes(), bytes);
    // The 255-byte name uses the three-byte prefix.
    const std::size_t longName = 12 + 2 + 2 + 2;
    EXPECT_EQ(bytes[longName], 0xFF);
    EXPECT_EQ(bytes[longName + 1], 0xFF);
    EXPECT_EQ(bytes[longName + 2], 0x00);
}

TEST(Show, LoadFromPathChoosesByTheExactEnding) {
    CTempDir dir;
    const Bytes bytes = ShowBytes(0, 1, 0, {"cat"});
    for (const char* name : {"s.vls", "s.VLS", "s.Vls", "s.vlm", "s.Vlm", "s.txt"}) {
        WriteBytes(dir.Path(name), bytes);
    }
    CShowData show;
    EXPECT_FALSE(show.LoadFromPath(dir.Path("s.VLS")));
    EXPECT_FALSE(show.LoadFromPath(dir.Path("s.Vls")));
    EXPECT_FALSE(show.LoadFromPath(dir.Path("s.Vlm")));
    EXPECT_FALSE(show.LoadFromPath(dir.Path("s.txt")));
    EXPECT_FALSE(show.LoadFromPath(""));
    EXPECT_FALSE(show.LoadFromPath(dir.Path("missing.vls")));
    EXPECT_EQ(show.m_nCount, 0);
    EXPECT_TRUE(show.m_strFolder.empty());

    ASSERT_TRUE(show.LoadFromPath(dir.Path("s.vls")));
    EXPECT_EQ(show.m_nCount, 1);
    EXPECT_EQ(show.m_strNames[0], "cat");
    EXPECT_EQ(show.m_strFolder, dir.Path());

    CShowData single;
    ASSERT_TRUE(single.LoadFromPath(dir.Path("s.vlm")));
    EXPECT_EQ(single.m_nCount, 1);
    EXPECT_EQ(single.m_strNames[0], "s");
}

TEST(Show, ADamagedShowLeavesTheRecordAsItWas) {
    CTempDir dir;
    WriteBytes(dir.Path("bad.vls"), ShowBytes(0, 3, 0, {"a"}));
    CShowData show;
    show.m_nCount = 1;
    show.m_strNames[0] = "keep";
    EXPECT_THROW(show.LoadFromPath(dir.Path("bad.vls")), CArchiveException);
    EXPECT_EQ(show.m_nCount, 1);
    EXPECT_EQ(show.m_strNames[0], "keep");
}

TEST(Show, FromPanelFileTakesTheNameWithoutTheFinalExtension) {
    CTempDir dir;
    WriteBytes(dir.Path("cat.vlm"), {});
    WriteBytes(dir.Path("a.vlm.vlm"), {});
    WriteBytes(dir.Path("写真.vlm"), {});
    CShowData show;
    ASSERT_TRUE(show.FromPanelFile(dir.Path("cat.vlm")));
    EXPECT_EQ(show.m_nCount, 1);
    EXPECT_EQ(show.m_strNames[0], "cat");
    EXPECT_EQ(show.m_strFolder, dir.Path());
    ASSERT_TRUE(show.FromPanelFile(dir.Path("a.vlm.vlm")));
    EXPECT_EQ(show.m_strNames[0], "a.vlm");
    ASSERT_TRUE(show.FromPanelFile(dir.Path("写真.vlm")));
    EXPECT_EQ(show.m_strNames[0], "\x8E\xCA\x90\x5E");
    EXPECT_EQ(ShowPanelPath(show.m_strFolder, show.m_strNames[0]), dir.Path("写真.vlm"));

    // A backslash is part of the name, not a folder separator.
    WriteBytes(dir.Path("a\\b.vlm"), {});
    ASSERT_TRUE(show.FromPanelFile(dir.Path("a\\b.vlm")));
    EXPECT_EQ(show.m_strNames[0], "a\\b");
    EXPECT_EQ(ShowPanelPath(show.m_strFolder, show.m_strNames[0]), dir.Path("a\\b.vlm"));

    CShowData missing;
    EXPECT_FALSE(missing.FromPanelFile(dir.Path("dog.vlm")));
    EXPECT_EQ(missing.m_nCount, 0);
}

TEST(Show, OpeningSetsTheFolderFromTheFileRead) {
    CTempDir dir;
    WriteBytes(dir.Path("s.vls"), ShowBytes(0, 2, 0, {"x", "y"}));
    CVelmoShowDoc doc;
    ASSERT_EQ(doc.OnOpenDocument(dir.Path("s.vls")), EDocOutcome::Opened);
    EXPECT_EQ(doc.m_show.m_strFolder, dir.Path());
    EXPECT_EQ(doc.GetTitle(), "s.vls");
    EXPECT_EQ(ShowPanelPath(doc.m_show.m_strFolder, doc.m_show.m_strNames[1]), dir.Path("y.vlm"));
}

// The show's list operations: insert before an index, remove, the 100-name cap, an empty show
// and a negative count read from a file.
namespace {

struct ShowListCase {
    const char* name;
    std::vector<std::string> names; // before
    std::int32_t count;             // m_nCount before (may differ from names.size())
    bool insert;                    // insert "x" before index, else remove index
    int index;
    EShowListEdit outcome;
    std::vector<std::string> after;
};

std::vector<std::string> NamesOf(const CShowData& show) {
    std::vector<std::string> names;
    for (int i = 0; i < show.NameCount(); ++i) {
        names.push_back(show.m_strNames[static_cast<std::size_t>(i)]);
    }
    return names;
}

std::vector<std::string> Hundred() {
    return std::vector<std::string>(kMaxShowNames, "n");
}

class ShowListTest : public ::testing::TestWithParam<ShowListCase> {};

} // namespace

TEST_P(ShowListTest, EditTheList) {
    const ShowListCase& c = GetParam();
    CVelmoShowDoc doc;
    for (std::size_t i = 0; i < c.names.size(); ++i) {
        doc.m_show.m_strNames[i] = c.names[i];
    }
    doc.m_show.m_nCount = c.count;
    int notified = 0;
    doc.AddChangeObserver([&notified] { ++notified; });
    const EShowListEdit outcome = c.insert ? doc.InsertName(c.index, "x") : doc.RemoveName(c.index);
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(NamesOf(doc.m_show), c.after);
    const bool done = c.outcome == EShowListEdit::Done;
    EXPECT_EQ(doc.IsModified(), done);
    EXPECT_EQ(notified, done ? 1 : 0);
    if (!done) {
        EXPECT_EQ(doc.m_show.m_nCount, c.count);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ShowData, ShowListTest,
    ::testing::Values(
        ShowListCase{"InsertIntoEmpty", {}, 0, true, 0, EShowListEdit::Done, {"x"}},
        ShowListCase{
            "InsertBeforeFirst", {"a", "b"}, 2, true, 0, EShowListEdit::Done, {"x", "a", "b"}},
        ShowListCase{
            "InsertBeforeSecond", {"a", "b"}, 2, true, 1, EShowListEdit::Done, {"a", "x", "b"}},
        ShowListCase{
            "InsertAtEndAppends", {"a", "b"}, 2, true, 2, EShowListEdit::Done, {"a", "b", "x"}},
        ShowListCase{"InsertPastEndAppends", {"a"}, 1, true, 50, EShowListEdit::Done, {"a", "x"}},
        ShowListCase{"InsertIntoNegativeCount", {}, -3, true, 0, EShowListEdit::Done, {"x"}},
        ShowListCase{"InsertIntoAFullShow", Hundred(), 100, true, 0, EShowListEdit::Full,
                     Hundred()},
        ShowListCase{"RemoveMiddle", {"a", "b", "c"}, 3, false, 1, EShowListEdit::Done, {"a", "c"}},
        ShowListCase{"RemoveLastOfAFullShow", Hundred(), 100, false, 99, EShowListEdit::Done,
                     std::vector<std::string>(kMaxShowNames - 1, "n")},
        ShowListCase{"RemovePastTheEnd", {"a"}, 1, false, 1, EShowListEdit::NoSuchName, {"a"}},
        ShowListCase{"RemoveFromEmpty", {}, 0, false, 0, EShowListEdit::NoSuchName, {}},
        ShowListCase{"RemoveNegative", {"a"}, 1, false, -1, EShowListEdit::NoSuchName, {"a"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShowData, PlayingNeedsASavedShowWithNames) {
    CVelmoShowDoc doc;
    EXPECT_EQ(doc.CheckPlay(), EShowPlayCheck::Empty);
    doc.m_show.m_nCount = -1;
    EXPECT_EQ(doc.CheckPlay(), EShowPlayCheck::Empty);
    doc.InsertName(0, "a");
    EXPECT_EQ(doc.CheckPlay(), EShowPlayCheck::Unsaved);
    doc.SetModifiedFlag(false);
    EXPECT_EQ(doc.CheckPlay(), EShowPlayCheck::Playable);
    doc.RemoveName(0);
    doc.SetModifiedFlag(false);
    EXPECT_EQ(doc.CheckPlay(), EShowPlayCheck::Empty);
}
