// Balloon text with its writing choices: vertical columns and their glyphs, line breaking,
// upright pairs, sideways Latin, fitting, outline and faces; and plain balloons drawn exactly as
// before these choices existed.
#include <QPainter>
#include <QRawFont>
#include <QtTest>
#include <thread>

#include "model/FukiStyle.h"
#include "model/Panel.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"
#include "render/FukiFont.h"
#include "render/FukiTextLayout.h"
#include "render/FukiTextPlan.h"
#include "render/PanelRenderer.h"
#include "render/QtPictureDecoder.h"

using namespace render;

namespace {

const QString kGothic = QStringLiteral("IPAGothic");
constexpr int kPixels = 20;

std::shared_ptr<const SFukiTextLayout> Vertical(const QString& text, int columnHeight,
                                                int pixels = kPixels) {
    SFukiTextRequest request;
    request.m_strText = text;
    request.m_strFace = kGothic;
    request.m_nPixelSize = pixels;
    request.m_bVertical = true;
    request.m_nLineLength = columnHeight;
    return LayOutFukiText(request);
}

// The glyph drawn for one character in horizontal text.
quint32 HorizontalGlyph(QChar c) {
    QRawFont raw = QRawFont::fromFont(MakeFukiFont({}, kPixels), QFontDatabase::Japanese);
    const QList<quint32> ids = raw.glyphIndexesForString(QString(c));
    return ids.isEmpty() ? 0 : ids.front();
}

// The first run of a column or line.
const SFukiGlyphs* RunAtLine(const SFukiTextLayout& layout, int line) {
    for (const SFukiGlyphs& g : layout.m_glyphs) {
        if (g.m_nLine == line) {
            return &g;
        }
    }
    return nullptr;
}

CFuki StyledBalloon(const char* utf8, bool vertical, bool fit, int outline = 0) {
    CFuki fuki;
    fuki.m_nOrder = 1;
    fuki.m_rcBody = CRect{40, 40, 260, 220};
    fuki.m_ptTail = CPoint{150, 260};
    fuki.m_crFill = MakeRgb(255, 255, 255);
    fuki.m_strText = Utf8ToCp932(utf8).text;
    SFukiStyle style;
    style.m_bVertical = vertical;
    style.m_bFit = fit;
    style.m_bOutline = outline > 0;
    style.m_nOutlineWidth = outline;
    style.m_crOutline = MakeRgb(0, 0, 255);
    SetFukiStyle(fuki, style);
    return fuki;
}

QImage Draw(const CFuki& fuki, int zoom = 100) {
    QImage image(320, 300, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::gray);
    QPainter painter(&image);
    DrawFuki(painter, fuki, false, zoom, 0, 0);
    return image;
}

// Pixels of text colour (black) and outline colour (blue) inside and outside a rectangle.
struct SInk {
    int m_nInside = 0;
    int m_nOutside = 0;
};

SInk CountInk(const QImage& image, const QRectF& inside, bool (*isInk)(QRgb)) {
    SInk ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(image.pixel(x, y))) {
                (inside.contains(QPointF(x + 0.5, y + 0.5)) ? ink.m_nInside : ink.m_nOutside)++;
            }
        }
    }
    return ink;
}

bool IsDark(QRgb c) {
    return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100;
}

bool IsBlue(QRgb c) {
    return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60;
}

} // namespace

class CFukiTextTest : public QObject {
    Q_OBJECT
    render::CQtPictureDecoder m_decoder;

private slots:
    void initTestCase() {
        QVERIFY2(QFontDatabase::hasFamily(kGothic), "the IPA Gothic font is installed");
    }

    void FirstCharacterIsInTheRightmostColumnAtTheTop() {
        const auto layout = Vertical(QStringLiteral("あいうえおかきくけこ"), 5 * kPixels);
        QCOMPARE(layout->m_lines.size(), std::size_t(2));
        QCOMPARE(layout->m_lineStarts, (std::vector<int>{0, 5}));
        // Columns run from right to left.
        QVERIFY(layout->m_lines[0].left() > layout->m_lines[1].right());
        QCOMPARE(layout->m_lines[0].right(), 0.0);
        const SFukiGlyphs* first = RunAtLine(*layout, 0);
        QVERIFY(first != nullptr);
        QCOMPARE(first->m_run.glyphIndexes().front(), HorizontalGlyph(QChar(0x3042)));
        const QPointF origin = first->m_run.positions().front();
        // Drawn at the top of the column: its baseline within the first em, its box centred.
        QVERIFY2(origin.y() > 0 && origin.y() <= kPixels, qPrintable(QString::number(origin.y())));
        QVERIFY(origin.x() >= layout->m_lines[0].left() - 1 && origin.x() < 0);
        // Characters go down the column: the second glyph one em below the first.
        QVERIFY(qAbs(first->m_run.positions().at(1).y() - origin.y() - kPixels) < 0.1);

        // Drawn: ink in the top-right corner of the text rectangle, none in its top-left.
        CFuki fuki = StyledBalloon("あ", true, false);
        const QImage image = Draw(fuki);
        const SFukiTextPlan plan = PlanFukiText(fuki, 100, 0, 0, 96);
        const QRectF rt = plan.m_rcText;
        const QRectF topRight(rt.right() - kPixels, rt.top(), kPixels, kPixels);
        QVERIFY(CountInk(image, topRight, IsDark).m_nInside > 10);
        QCOMPARE(CountInk(image.copy(rt.left(), rt.top(), rt.width() - kPixels, rt.height()),
                          QRectF(), IsDark)
                     .m_nOutside,
                 0);
    }

    void BracketsAndStopsTakeTheirVerticalForms_data() {
        QTest::addColumn<QString>("character");
        QTest::newRow("corner bracket") << QStringLiteral("「");
        QTest::newRow("closing bracket") << QStringLiteral("」");
        QTest::newRow("full stop") << QStringLiteral("。");
        QTest::newRow("comma") << QStringLiteral("、");
        QTest::newRow("prolonged sound") << QStringLiteral("ー");
    }

    void BracketsAndStopsTakeTheirVerticalForms() {
        QFETCH(QString, character);
        const auto layout = Vertical(character, 10 * kPixels);
        QCOMPARE(layout->m_glyphs.size(), std::size_t(1));
        const quint32 vertical = layout->m_glyphs.front().m_run.glyphIndexes().front();
        QVERIFY(vertical != 0);
        QVERIFY(vertical != HorizontalGlyph(character.front()));
        QCOMPARE(layout->m_glyphs.front().m_dRotation, 0.0); // upright, not a turned layout
    }

    void NoColumnStartsWithClosingPunctuation() {
        const QString text = QStringLiteral("「こんにちは。」と、彼は言った。「ええ、そうですね。」"
                                            "ラーメンを食べよう。わかった、いこう！");
        for (int chars = 1; chars <= 12; ++chars) {
            const auto layout = Vertical(text, chars * kPixels);
            QVERIFY(layout->m_lines.size() > 1);
            for (int start : layout->m_lineStarts) {
                const QChar c = text.at(start);
                QVERIFY2(!QStringLiteral("、。」ー").contains(c),
                         qPrintable(QStringLiteral("%1 chars: column starts with %2 at %3")
                                        .arg(chars)
                                        .arg(c)
                                        .arg(start)));
                // An opening bracket never ends a column.
                if (start > 0) {
                    QVERIFY(text.at(start - 1) != QChar(0x300C));
                }
            }
            // Every column is at most the column height, once it can hold a character with its
            // closing bracket and stop.
            for (std::size_t k = 0; chars >= 3 && k < layout->m_lines.size(); ++k) {
                QVERIFY(layout->m_lines[k].height() <= chars * kPixels + 2);
            }
        }
    }

    void LineFeedsStartNewColumns() {
        const auto layout = Vertical(QStringLiteral("あい\u2028\u2028う"), 50 * kPixels);
        QCOMPARE(layout->m_lineStarts, (std::vector<int>{0, 3, 4}));
        QCOMPARE(layout->m_lines[1].height(), 0.0);
    }

    void PairsStandUprightInOneCell_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index"); // where the pair starts
        QTest::addColumn<int>("glyphs");
        QTest::newRow("two digits") << QStringLiteral("第12話") << 1 << 2;
        QTest::newRow("bang question") << QStringLiteral("本当!?か") << 2 << 2;
        QTest::newRow("double bang") << QStringLiteral("ええ!!と") << 2 << 2;
        QTest::newRow("one digit") << QStringLiteral("第3話") << 1 << 1;
    }

    void PairsStandUprightInOneCell() {
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(int, glyphs);
        const auto layout = Vertical(text, 20 * kPixels);
        // Runs: the character before, the cell, then the rest.
        QVERIFY(layout->m_glyphs.size() >= 3);
        const SFukiGlyphs& before = layout->m_glyphs[0];
        const SFukiGlyphs& cell = layout->m_glyphs[1];
        const SFukiGlyphs& after = layout->m_glyphs[2];
        QCOMPARE(cell.m_dRotation, 0.0);
        QCOMPARE(int(cell.m_run.glyphIndexes().size()), glyphs);
        const QList<QPointF> at = cell.m_run.positions();
        if (glyphs == 2) {
            QCOMPARE(at[0].y(), at[1].y()); // side by side
            QVERIFY(at[1].x() > at[0].x());
        }
        // The cell is one em high: the next character is index + 1 ems below the first.
        const qreal top = before.m_run.positions().front().y();
        QVERIFY(qAbs(after.m_run.positions().front().y() - top - (index + 1) * kPixels) < 0.1);
        QVERIFY(cell.m_ptOrigin.y() > index * kPixels);
        QVERIFY(cell.m_ptOrigin.y() <= (index + 1) * kPixels);
        // Centred in the column and no wider than it.
        const QRectF column = layout->m_lines[0];
        qreal width = 0;
        for (const QPointF& advance :
             cell.m_run.rawFont().advancesForGlyphIndexes(cell.m_run.glyphIndexes())) {
            width += advance.x();
        }
        width *= cell.m_dScaleX;
        QVERIFY(width <= kPixels + 0.01);
        QVERIFY(cell.m_ptOrigin.x() >= column.left() - 0.01);
        QVERIFY(cell.m_ptOrigin.x() + width <= column.right() + 0.01);
        QVERIFY(qAbs(cell.m_ptOrigin.x() + width / 2 - column.center().x()) < 0.01);
    }

    void LatinAndLongNumbersLieSideways_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("word") << QStringLiteral("あOKい");
        QTest::newRow("three digits") << QStringLiteral("あ123い");
        QTest::newRow("three bangs") << QStringLiteral("あ!!!い");
    }

    void LatinAndLongNumbersLieSideways() {
        QFETCH(QString, text);
        const auto layout = Vertical(text, 20 * kPixels);
        QCOMPARE(layout->m_glyphs.size(), std::size_t(3));
        QCOMPARE(layout->m_glyphs[0].m_dRotation, 0.0);
        QCOMPARE(layout->m_glyphs[1].m_dRotation, 90.0);
        QCOMPARE(layout->m_glyphs[2].m_dRotation, 0.0);
        // Turned clockwise about the column's centre line, below the first character.
        const QRectF column = layout->m_lines[0];
        QCOMPARE(layout->m_glyphs[1].m_ptOrigin.x(), column.center().x());
        QCOMPARE(layout->m_glyphs[1].m_ptOrigin.y(), qreal(kPixels));
        // The column holds the two characters and the sideways run.
        QVERIFY(column.height() > 2.5 * kPixels);
    }

    void FittingShrinksUntilTheInkIsInsideAndStopsAtSixPoints_data() {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<bool>("fits");
        QTest::newRow("vertical, fits smaller") << true << 3 << true;
        QTest::newRow("horizontal, fits smaller") << false << 3 << true;
        QTest::newRow("vertical, too long") << true << 40 << false;
        QTest::newRow("horizontal, too long") << false << 40 << false;
    }

    void FittingShrinksUntilTheInkIsInsideAndStopsAtSixPoints() {
        QFETCH(bool, vertical);
        QFETCH(int, repeat);
        QFETCH(bool, fits);
        std::string text;
        for (int i = 0; i < repeat; ++i) {
            text += "これは長いセリフです。";
        }
        CFuki fuki = StyledBalloon(text.c_str(), vertical, true);
        fuki.m_nFontSize = 300;
        const SFukiTextPlan plan = PlanFukiText(fuki, 100, 0, 0, 96);
        QVERIFY(plan.m_layout);
        const int six = FukiFontPixelSize(kMinFitFontSize, 100, 96);
        QCOMPARE(plan.m_bFits, fits);
        QCOMPARE(FukiTextFits(fuki), fits);
        if (fits) {
            QVERIFY(plan.m_layout->m_nPixelSize < FukiFontPixelSize(300, 100, 96));
            QVERIFY(plan.m_layout->m_nPixelSize > six);
            const QImage image = Draw(fuki);
            const SInk ink = CountInk(image, plan.m_rcText, IsDark);
            QVERIFY(ink.m_nInside > 100);
            // Only the frame (black, one pixel) lies outside.
            const QImage bare = Draw([&] {
                CFuki noText = fuki;
                noText.m_strText.clear();
                return noText;
            }());
            QCOMPARE(ink.m_nOutside, CountInk(bare, plan.m_rcText, IsDark).m_nOutside);
        } else {
            QCOMPARE(plan.m_layout->m_nPixelSize, six);
            // Clipped to the balloon: outside its body nothing differs from the bare balloon.
            const QImage image = Draw(fuki);
            CFuki noText = fuki;
            noText.m_strText.clear();
            const QImage bare = Draw(noText);
            int changedOutside = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const bool inBody = x >= 40 && x < 260 && y >= 40 && y < 220;
                    changedOutside += !inBody && image.pixel(x, y) != bare.pixel(x, y) ? 1 : 0;
                }
            }
            QCOMPARE(changedOutside, 0);
        }
        // Without fitting the size stays and the text does not fit.
        SFukiStyle style = GetFukiStyle(fuki);
        style.m_bFit = false;
        SetFukiStyle(fuki, style);
        QCOMPARE(PlanFukiText(fuki, 100, 0, 0, 96).m_layout->m_nPixelSize,
                 FukiFontPixelSize(300, 100, 96));
        QVERIFY(!FukiTextFits(fuki));
    }

    void OutlineSurroundsTheCharacters() {
        CFuki fuki = StyledBalloon("縁取り", true, false, 3);
        fuki.m_nFontSize = 300;
        const QImage outlined = Draw(fuki);
        const SInk blue = CountInk(outlined, QRectF(0, 0, 320, 300), IsBlue);
        QVERIFY(blue.m_nInside > 200);
        // The outline lies around the ink: every blue pixel is within 4 pixels of a dark one.
        // Without an outline there is no blue at all.
        CFuki plain = StyledBalloon("縁取り", true, false, 0);
        plain.m_nFontSize = 300;
        const QImage bare = Draw(plain);
        QCOMPARE(CountInk(bare, QRectF(0, 0, 320, 300), IsBlue).m_nInside, 0);
        int far = 0;
        for (int y = 4; y < 296; ++y) {
            for (int x = 4; x < 316; ++x) {
                if (!IsBlue(outlined.pixel(x, y))) {
                    continue;
                }
                bool near = false;
                for (int v = -4; v <= 4 && !near; ++v) {
                    for (int u = -4; u <= 4 && !near; ++u) {
                        near = IsDark(outlined.pixel(x + u, y + v));
                    }
                }
                far += near ? 0 : 1;
            }
        }
        QCOMPARE(far, 0);
    }

    void MissingFaceFallsBackToTheDefault() {
        QCOMPARE(ResolveFukiFace(Utf8ToCp932("NoSuchFace").text), DefaultGothicFace());
        CFuki missing = StyledBalloon("ふきだし「12」", true, false);
        missing.m_strFontFace = "NoSuchFace";
        CFuki standard = missing;
        standard.m_strFontFace.clear();
        const QImage a = Draw(missing);
        QCOMPARE(a, Draw(standard));
        // A second installed face draws differently, so the face is honoured when present.
        if (QFontDatabase::hasFamily(QStringLiteral("IPAMincho"))) {
            CFuki mincho = standard;
            mincho.m_strFontFace = "IPAMincho";
            QVERIFY(Draw(mincho) != a);
        }
    }

    // Values a damaged or hostile file can hold draw without harm in every writing mode, and
    // text never reaches far outside what can be seen.
    void ExtremeValuesDrawInEveryMode() {
        const CRect bodies[] = {CRect{40, 40, 260, 220}, CRect{260, 220, 40, 40},
                                CRect{-2000000000, -2000000000, 2000000000, 2000000000},
                                CRect{100, 100, 101, 101}};
        const std::int32_t sizes[] = {1, 60, 1000, 2147483647};
        for (int mode = 0; mode < 8; ++mode) {
            for (const CRect& body : bodies) {
                for (std::int32_t size : sizes) {
                    for (int zoom : {1, 100, 1000}) {
                        for (std::int32_t corner : {10, -2000000000}) {
                            CFuki fuki = StyledBalloon("「長い」セリフ12!?ABC。\nー、", mode & 1,
                                                       mode & 2, mode & 4 ? 255 : 0);
                            fuki.m_rcBody = body;
                            fuki.m_nFontSize = size;
                            fuki.m_nCornerWidth = corner;
                            const QImage image = Draw(fuki, zoom);
                            QVERIFY(!image.isNull());
                        }
                    }
                }
            }
        }
    }

    // A balloon drawn on another thread (as the player prepares screens) gives the same
    // pixels, with that thread's own fonts and layouts, released when it ends.
    void OtherThreadsDrawTheSame() {
        const CFuki fuki = StyledBalloon("「縦書き」12!?OK。", true, true, 2);
        const QImage here = Draw(fuki);
        QImage there;
        std::thread worker([&] { there = Draw(fuki); });
        worker.join();
        QCOMPARE(there, here);
    }

    void TheSameLayoutIsReused() {
        ClearFukiTextCache();
        const auto first = Vertical(QStringLiteral("同じセリフ"), 100);
        QCOMPARE(Vertical(QStringLiteral("同じセリフ"), 100).get(), first.get());
        QVERIFY(Vertical(QStringLiteral("同じセリフ"), 101).get() != first.get());
        QVERIFY(Vertical(QStringLiteral("同じセリフ"), 100, kPixels + 1).get() != first.get());
    }

    // What the player keeps from under a balloon before drawing it: every pixel the balloon
    // changes lies inside its painted bounds, in every writing mode, with text that overflows
    // (below, or as one word wider than the balloon) and with far tails; and a small balloon's
    // bounds stay small.
    void PaintedBoundsHoldEveryChangedPixel() {
        const char* texts[] = {"短い",
                               "とても長いセリフがこの小さな吹き出しからはみ出して下まで続く。"
                               "さらに続く長いセリフです。",
                               "Wwwwwwwwwwwwwwwwwwwwwwwwwwwwww"};
        for (int mode = 0; mode < 8; ++mode) {
            for (const char* text : texts) {
                for (const CPoint tail : {CPoint{110, 150}, CPoint{300, 290}, CPoint{-50, 10}}) {
                    for (int zoom : {75, 100, 150}) {
                        CFuki fuki = StyledBalloon(text, mode & 1, mode & 2, mode & 4 ? 6 : 0);
                        fuki.m_rcBody = CRect{60, 50, 160, 110};
                        fuki.m_ptTail = tail;
                        fuki.m_nBorderWidth = 3;
                        fuki.m_nBorderHeight = 2;
                        const QImage image = Draw(fuki, zoom);
                        QRect changed;
                        for (int y = 0; y < image.height(); ++y) {
                            for (int x = 0; x < image.width(); ++x) {
                                if (image.pixel(x, y) != QColor(Qt::gray).rgb()) {
                                    changed |= QRect(x, y, 1, 1);
                                }
                            }
                        }
                        const QRect bounds = FukiPaintedBounds(image, fuki, zoom, 0, 0);
                        QVERIFY2(bounds.contains(changed),
                                 qPrintable(QStringLiteral("mode %1 zoom %2: %3,%4 %5x%6")
                                                .arg(mode)
                                                .arg(zoom)
                                                .arg(changed.x())
                                                .arg(changed.y())
                                                .arg(changed.width())
                                                .arg(changed.height())));
                        if (text == texts[0] && tail.x == 110 && zoom == 100) {
                            QVERIFY(bounds.width() * bounds.height() <
                                    image.width() * image.height() / 3);
                        }
                    }
                }
            }
        }
    }

    // A panel whose balloons use none of the writing choices draws as the editor drew it before
    // they existed (pictures exported then, at three zooms).
    void PlainBalloonsDrawExactlyAsBefore_data() {
        QTest::addColumn<int>("zoom");
        QTest::newRow("50") << 50;
        QTest::newRow("100") << 100;
        QTest::newRow("150") << 150;
    }

    void PlainBalloonsDrawExactlyAsBefore() {
        QFETCH(int, zoom);
        const std::string data = VELMO_RENDER_TEST_DATA;
        CVelmoDoc doc(m_decoder);
        QCOMPARE(doc.OnOpenDocument(data + "/horizontal-balloons.vlm"), EDocOutcome::Opened);
        CRect total = doc.m_panel.m_rcTotal;
        CLayerItem::ZoomRect(zoom, total, 0, 0);
        QImage image(total.right, total.bottom, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            DrawPanel(painter, doc.m_panel, zoom, kSelectNone);
        }
        QImage before(QString::fromStdString(data + "/horizontal-balloons-z" +
                                             std::to_string(zoom) + ".png"));
        QVERIFY(!before.isNull());
        QCOMPARE(image, before.convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(CFukiTextTest)
#include "fuki_text_test.moc"
