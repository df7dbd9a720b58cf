// The panel file byte by byte: the default document, every string prefix form the writer
// makes and the reader accepts, round trips, and wide-text strings saved again narrow.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "model/Archive.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"

namespace {

constexpr std::size_t kHeaderBytes = 28;
constexpr std::size_t kDefaultPictureBytes = 38;
constexpr std::size_t kDefaultBalloonBytes = 114;
constexpr std::size_t kFirstBalloon = kHeaderBytes + kDefaultPictureBytes;

// "ここにセリフを入れてください" as written by code page 932.
const Bytes kDefaultTextBytes = {0x82, 0xB1, 0x82, 0xB1, 0x82, 0xC9, 0x83, 0x5A, 0x83, 0x8A,
                                 0x83, 0x74, 0x82, 0xF0, 0x93, 0xFC, 0x82, 0xEA, 0x82, 0xC4,
                                 0x82, 0xAD, 0x82, 0xBE, 0x82, 0xB3, 0x82, 0xA2};

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

Bytes WrittenString(const std::string& s) {
    CArchive ar = CArchive::ForStoring();
    ar.WriteString(s);
    return ar.GetStoredBytes();
}

std::string ReadOneString(const Bytes& bytes, std::size_t* consumed = nullptr) {
    CArchive ar = CArchive::ForLoading(bytes);
    std::string s = ar.ReadString();
    if (consumed != nullptr) {
        *consumed = ar.GetPosition();
    }
    return s;
}

void PutUtf16(Bytes& out, const std::u16string& text) {
    for (char16_t unit : text) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
}

} // namespace

TEST(PanelFile, DefaultDocumentIs1206Bytes) {
    const Bytes bytes = DefaultPanelBytes();
    ASSERT_EQ(bytes.size(), 1206u);
    const Bytes header = {0x00, 0x01, 0x00, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x02, 0x00, 0x00,
                          0xE0, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_EQ(Slice(bytes, 0, kHeaderBytes), header);

    Bytes picture(16, 0x00);
    PutBytes(picture, {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}); // border fields
    PutBytes(picture, {0x1E, 0, 0, 0, 0x00, 0x00, 0, 0, 0, 0});
    EXPECT_EQ(Slice(bytes, kHeaderBytes, kDefaultPictureBytes), picture);

    Bytes balloon;
    PutBytes(balloon, {0x32, 0, 0, 0, 0x32, 0, 0, 0, 0xC8, 0, 0, 0, 0x96, 0, 0, 0});
    PutBytes(balloon, {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0x1E, 0, 0, 0});
    PutBytes(balloon, {0, 0, 0, 0, 0xFF, 0xA0, 0xA0, 0x00, 1, 0, 0, 0, 0x2D, 0, 0, 0});
    PutBytes(balloon, {0x37, 0, 0, 0, 0xC8, 0, 0, 0, 0xC8, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    PutBytes(balloon, {0x0A, 0, 0, 0, 0x0A, 0, 0, 0, 0x1C});
    balloon.insert(balloon.end(), kDefaultTextBytes.begin(), kDefaultTextBytes.end());
    PutBytes(balloon, {0, 0, 0, 0, 0x00, 0x96, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(balloon.size(), kDefaultBalloonBytes);
    for (std::size_t slot = 0; slot < 10; ++slot) {
        EXPECT_EQ(Slice(bytes, kFirstBalloon + slot * kDefaultBalloonBytes, kDefaultBalloonBytes),
                  balloon)
            << "slot " << slot;
    }
}

TEST(PanelFile, DefaultTextIsTheCodePage932OfItsJapanese) {
    const CodecResult r = Utf8ToCp932("ここにセリフを入れてください");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(Bytes(r.text.begin(), r.text.end()), kDefaultTextBytes);
    EXPECT_EQ(std::string(kDefaultFukiText), r.text);
}

TEST(PanelFile, WriterPrefixForms) {
    struct Case {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {300, {0xFF, 0x2C, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        const std::string text(c.length, 'x');
        const Bytes written = WrittenString(text);
        ASSERT_EQ(written.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(Slice(written, 0, c.prefix.size()), c.prefix) << c.length;
        std::size_t consumed = 0;
        EXPECT_EQ(ReadOneString(written, &consumed), text) << c.length;
        EXPECT_EQ(consumed, written.size()) << c.length;
    }
}

TEST(PanelFile, ReaderAcceptsTheLongerFormsForShortTexts) {
    Bytes dword;
    PutBytes(dword, {0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00});
    PutText(dword, "abc");
    EXPECT_EQ(ReadOneString(dword), "abc");

    Bytes qword;
    PutBytes(qword, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    PutBytes(qword, {0x03, 0, 0, 0, 0, 0, 0, 0});
    PutText(qword, "abc");
    EXPECT_EQ(ReadOneString(qword), "abc");

    Bytes word;
    PutBytes(word, {0xFF, 0x02, 0x00});
    PutText(word, "ab");
    EXPECT_EQ(ReadOneString(word), "ab");
}

TEST(PanelFile, ReaderRefusesA64BitLengthOf2To31OrMore) {
    for (std::uint64_t length : {0x80000000ULL, 0xFFFFFFFFFFFFFFFFULL}) {
        Bytes bytes;
        PutBytes(bytes, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
        for (int i = 0; i < 8; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
        }
        try {
            ReadOneString(bytes);
            ADD_FAILURE() << "accepted " << length;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::badLength);
        }
    }
}

TEST(PanelFile, WideTextIsConvertedToCodePage932) {
    Bytes ascii;
    PutBytes(ascii, {0xFF, 0xFE, 0xFF, 0x03});
    PutUtf16(ascii, u"abc");
    EXPECT_EQ(ReadOneString(ascii), "abc");

    Bytes japanese;
    PutBytes(japanese, {0xFF, 0xFE, 0xFF, 0x05});
    PutUtf16(japanese, u"こんにちは");
    EXPECT_EQ(ReadOneString(japanese), Utf8ToCp932("こんにちは").text);

    Bytes longForm;
    PutBytes(longForm, {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01});
    PutUtf16(longForm, std::u16string(300, u'y'));
    std::size_t consumed = 0;
    EXPECT_EQ(ReadOneString(longForm, &consumed), std::string(300, 'y'));
    EXPECT_EQ(consumed, longForm.size());

    Bytes unconvertible;
    PutBytes(unconvertible, {0xFF, 0xFE, 0xFF, 0x04});
    PutUtf16(unconvertible, u"a\U0001F600");
    PutBytes(unconvertible, {0x00, 0xD8}); // a lone high surrogate
    EXPECT_EQ(ReadOneString(unconvertible), "a??");
}

TEST(PanelFile, AStringEndsAtItsFirstZeroButTheFieldKeepsItsLength) {
    Bytes narrow;
    PutBytes(narrow, {0x05, 'a', 'b', 0x00, 'c', 'd'});
    PutInt32(narrow, 7);
    CArchive ar = CArchive::ForLoading(narrow);
    EXPECT_EQ(ar.ReadString(), "ab");
    EXPECT_EQ(ar.ReadInt32(), 7);

    Bytes wide;
    PutBytes(wide, {0xFF, 0xFE, 0xFF, 0x03});
    PutUtf16(wide, std::u16string(u"a\0c", 3));
    PutInt32(wide, 8);
    CArchive wideAr = CArchive::ForLoading(wide);
    EXPECT_EQ(wideAr.ReadString(), "a");
    EXPECT_EQ(wideAr.ReadInt32(), 8);
}

TEST(PanelFile, EveryFieldRoundTrips) {
    CPanel panel;
    panel.m_nVersion = 0x1234;
    panel.m_nFirstWait = -5;
    panel.m_rcTotal = CRect{1, 2, 1999, 100};
    panel.m_crBack = 0x00102030;
    panel.m_image.m_rcBody = CRect{-10, -20, 30, 40};
    panel.m_image.m_nWait = 12;
    panel.m_image.m_crBorder = 0x00ABCDEF;
    panel.m_image.m_nBorderWidth = 7;
    panel.m_image.m_nBorderHeight = 8;
    panel.m_image.m_strName = "\x8E\xCA\x90\x5E.jpg";
    panel.m_image.m_strPath = std::string(300, 'p');
    panel.m_image.m_nKind = KIND_BMP;
    panel.AddFuki();
    panel.AddFuki();
    CFuki& f = panel.m_fuki[3];
    f.m_rcBody = CRect{5, 6, 7, 8};
    f.m_nWait = 1;
    f.m_crBorder = 2;
    f.m_nBorderWidth = 3;
    f.m_nBorderHeight = 4;
    f.m_nCornerWidth = -1;
    f.m_nCornerHeight = 0;
    f.m_crFill = 0x00FEDCBA;
    f.m_nOrder = 11;
    f.m_ptTail = CPoint{-100, 100000};
    f.m_nTailSide = 7;
    f.m_nTailBase1 = 101;
    f.m_nTailBase2 = -3;
    f.m_strText = "line1\r\nline2";
    f.m_crText = 0x00000080;
    f.m_nFontSize = 1000;
    f.m_strFontFace = "MS Gothic";
    f.m_nReserved1 = 0x7FFFFFFF;
    f.m_nReserved2 = static_cast<std::int32_t>(0x80000000u);

    const Bytes bytes = StorePanel(panel);
    CPanel loaded;
    LoadPanel(loaded, bytes);
    EXPECT_EQ(StorePanel(loaded), bytes);
    EXPECT_EQ(loaded.m_nVersion, 0x1234);
    EXPECT_EQ(loaded.m_rcTotal, (CRect{1, 2, 1999, 100}));
    EXPECT_EQ(loaded.m_image.m_strName, panel.m_image.m_strName);
    EXPECT_EQ(loaded.m_image.m_strPath, panel.m_image.m_strPath);
    EXPECT_EQ(loaded.m_image.m_nBorderHeight, 8);
    const CFuki& g = loaded.m_fuki[3];
    EXPECT_EQ(g.m_nOrder, 11);
    EXPECT_EQ(g.m_ptTail, (CPoint{-100, 100000}));
    EXPECT_EQ(g.m_nTailSide, 7);
    EXPECT_EQ(g.m_strText, "line1\r\nline2");
    EXPECT_EQ(g.m_strFontFace, "MS Gothic");
    EXPECT_EQ(g.m_nReserved1, 0x7FFFFFFF);
    EXPECT_EQ(g.m_nReserved2, static_cast<std::int32_t>(0x80000000u));
    EXPECT_EQ(loaded.m_fuki[9].m_nOrder, 1);
    EXPECT_EQ(loaded.m_fuki[8].m_nOrder, 2);
}

TEST(PanelFile, TheWaitIsStoredLastInTheLayerPart) {
    CPanel panel;
    panel.m_image.m_nWait = 0x0A0B0C0D;
    panel.m_image.m_crBorder = 0x00112233;
    const Bytes bytes = StorePanel(panel);
    EXPECT_EQ(Slice(bytes, kHeaderBytes + 16, 4), (Bytes{0x33, 0x22, 0x11, 0x00}));
    EXPECT_EQ(Slice(bytes, kHeaderBytes + 28, 4), (Bytes{0x0D, 0x0C, 0x0B, 0x0A}));
}

TEST(PanelFile, WideTextIsSavedAgainNarrow) {
    // The default file with every balloon text written as wide text.
    const Bytes narrow = DefaultPanelBytes();
    Bytes wide(narrow.begin(), narrow.begin() + kFirstBalloon);
    for (std::size_t slot = 0; slot < 10; ++slot) {
        const std::size_t record = kFirstBalloon + slot * kDefaultBalloonBytes;
        wide.insert(wide.end(), narrow.begin() + static_cast<std::ptrdiff_t>(record),
                    narrow.begin() + static_cast<std::ptrdiff_t>(record + 72));
        PutBytes(wide, {0xFF, 0xFE, 0xFF, 14});
        PutUtf16(wide, u"ここにセリフを入れてください");
        wide.insert(wide.end(), narrow.begin() + static_cast<std::ptrdiff_t>(record + 72 + 29),
                    narrow.begin() + static_cast<std::ptrdiff_t>(record + kDefaultBalloonBytes));
    }
    ASSERT_EQ(wide.size(), narrow.size() + 10 * 3); // a 4-byte prefix and 14 units each

    CTempDir dir;
    WriteBytes(dir.Path("wide.vlm"), wide);
    CTestPanelDoc doc;
    ASSERT_EQ(doc.OnOpenDocument(dir.Path("wide.vlm")), EDocOutcome::Opened);
    EXPECT_EQ(doc.m_panel.m_fuki[0].m_strText, kDefaultFukiText);
    ASSERT_EQ(doc.OnSaveDocument(dir.Path("narrow.vlm")), EDocOutcome::Saved);
    EXPECT_EQ(ReadBytes(dir.Path("narrow.vlm")), narrow);
}

TEST(PanelFile, PositionsAreTakenAsTheyStand) {
    Bytes bytes = DefaultPanelBytes();
    const std::size_t order = kFirstBalloon + 3 * kDefaultBalloonBytes + 60;
    bytes[order] = 11;
    bytes[order + 1] = bytes[order + 2] = bytes[order + 3] = 0;
    CPanel panel;
    LoadPanel(panel, bytes);
    EXPECT_EQ(panel.m_fuki[3].m_nOrder, 11);
    EXPECT_EQ(panel.FindFuki(11), 3);
    EXPECT_EQ(StorePanel(panel), bytes);
}

TEST(PanelFile, DocumentSerializeStoresThePanelOnly) {
    CTempDir dir;
    CTestPanelDoc doc;
    doc.ResetHistory();
    doc.AddFuki();
    ASSERT_EQ(doc.OnSaveDocument(dir.Path("p.vlm")), EDocOutcome::Saved);
    EXPECT_EQ(ReadBytes(dir.Path("p.vlm")), StorePanel(doc.m_panel));
}
