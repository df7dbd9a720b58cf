// A panel printed to a PDF file and exported as pictures and PDF, through the editor's printing
// and the export command line: the page holds the panel at its physical size or fitted, with
// the balloon text inside its balloon; failures leave no file.
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "ExportTestSupport.h"
#include "FilePermissions.h"
#include "TestFiles.h"
#include "editor/PanelPrint.h"
#include "export/PanelExport.h"
#include "model/VelmoDoc.h"

using namespace exporttest;

namespace {

// A blue panel with one white balloon of red text, the text long enough to wrap; the balloon
// and its text grow with the panel's width.
CPanel BalloonPanel(int width, int height) {
    CPanel panel;
    panel.m_rcTotal = CRect{0, 0, width, height};
    panel.m_crBack = 0x00FF0000;
    const int slot = panel.AddFuki();
    CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(slot)];
    const int k = width / 640;
    fuki.m_rcBody = CRect{width / 10, height / 10, width / 10 + 250 * k, height / 10 + 110 * k};
    fuki.m_ptTail = CPoint{width / 10 + 120 * k, height / 10 + 160 * k};
    fuki.m_nCornerWidth *= k;
    fuki.m_nCornerHeight *= k;
    fuki.m_nFontSize *= k;
    fuki.m_crFill = 0x00FFFFFF;
    fuki.m_crText = 0x000000FF;
    fuki.m_strText = kDefaultFukiText;
    return panel;
}

QRectF BodyOnPage(const CPanel& panel, const QRect& placed) {
    const double scale = double(placed.width()) / panel.m_rcTotal.right;
    const CRect& b = panel.m_fuki[9].m_rcBody;
    return {placed.left() + b.left * scale, placed.top() + b.top * scale,
            (b.right - b.left) * scale, (b.bottom - b.top) * scale};
}

} // namespace

class CPanelExportTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    std::string StdPath(const QString& name) const { return Path(name).toStdString(); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Printed at 96 dpi the page shows a small panel at its own size and a large one fitted
    // and centred; either way the red text lies inside the white balloon.
    void PrintedPageKeepsTextInItsBalloon_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("fits");
        QTest::newRow("physical size") << 640 << 480 << true;
        QTest::newRow("scaled to fit") << 2400 << 1600 << false;
    }
    void PrintedPageKeepsTextInItsBalloon() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, fits);
        const CPanel panel = BalloonPanel(width, height);
        const QString pdf = Path(QStringLiteral("print-%1.pdf").arg(width));
        {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(QPageSize::A4));
            QVERIFY(editor::PrintPanel(printer, panel));
        }
        QCOMPARE(PdfPageCount(pdf), 1);
        const QImage page = RenderPdfPage(pdf, 1, 96);
        QVERIFY(!page.isNull());
        const QRect placed = BoundsOf(page, IsBlue);
        QVERIFY(!placed.isEmpty());
        if (fits) {
            QVERIFY2(qAbs(placed.width() - width) <= 2,
                     qPrintable(QString::number(placed.width())));
            QVERIFY(qAbs(placed.height() - height) <= 2);
        } else {
            QVERIFY(placed.width() < width && placed.width() > page.width() / 2);
            QVERIFY(qAbs(double(placed.width()) / placed.height() - 1.5) < 0.02);
        }
        // Centred on the page (the printable area's margins are the same on both sides).
        QVERIFY(qAbs(placed.left() - (page.width() - placed.right() - 1)) <= 3);
        int red = 0;
        const QRect text = BoundsOf(page, IsRed, &red);
        QVERIFY2(red > 50, qPrintable(QString::number(red)));
        const QRectF body = BodyOnPage(panel, placed).adjusted(-1, -1, 1, 1);
        QVERIFY2(body.contains(QRectF(text)), qPrintable(QStringLiteral("text %1,%2 %3x%4")
                                                             .arg(text.x())
                                                             .arg(text.y())
                                                             .arg(text.width())
                                                             .arg(text.height())));
        // The text fills more than a sliver of its balloon: it was not drawn tiny either.
        QVERIFY(text.width() > body.width() / 2);
    }

    void ExportsEachPanelFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("width");
        QTest::addColumn<QSize>("size");
        QTest::newRow("png at 50%") << "a.png" << 50 << 0 << QSize(320, 240);
        QTest::newRow("jpeg by width") << "b.JPG" << 100 << 800 << QSize(800, 600);
        QTest::newRow("jpeg long name") << "c.jpeg" << 200 << 0 << QSize(1280, 960);
        QTest::newRow("webp") << "d.webp" << 100 << 0 << QSize(640, 480);
    }
    void ExportsEachPanelFormat() {
        QFETCH(QString, name);
        QFETCH(int, zoom);
        QFETCH(int, width);
        QFETCH(QSize, size);
        const CPanel panel = BalloonPanel(640, 480);
        std::string error;
        QVERIFY2(exporting::ExportPanel(panel, StdPath(name), {zoom, width}, error), error.c_str());
        const QImage image = ReadPicture(Path(name));
        QCOMPARE(image.size(), size);
        // The balloon's red text is in the picture, inside the balloon's place.
        const QRect text = BoundsOf(image.convertToFormat(QImage::Format_RGB32), IsRed);
        const double scale = double(size.width()) / 640;
        const QRectF body(64 * scale, 48 * scale, 250 * scale, 110 * scale);
        QVERIFY(!text.isEmpty());
        QVERIFY(body.adjusted(-1, -1, 1, 1).contains(QRectF(text)));
    }

    void PanelPdfIsOnePage() {
        const CPanel panel = BalloonPanel(640, 480);
        std::string error;
        QVERIFY2(exporting::ExportPanel(panel, StdPath("one.pdf"), {}, error), error.c_str());
        QCOMPARE(PdfPageCount(Path("one.pdf")), 1);
        const QImage page = RenderPdfPage(Path("one.pdf"), 1, 96);
        const QRect placed = BoundsOf(page, IsBlue);
        QVERIFY(qAbs(placed.width() - 640) <= 2);
        QVERIFY(BodyOnPage(panel, placed).adjusted(-1, -1, 1, 1).contains(BoundsOf(page, IsRed)));
    }

    // Every failure names the problem and leaves no file, not even a temporary one.
    void FailuresLeaveNothing() {
        QTemporaryDir dir;
        const CPanel panel = BalloonPanel(640, 480);
        std::string error;
        QVERIFY(!exporting::ExportPanel(panel, dir.filePath("x.gif").toStdString(), {}, error));
        QVERIFY2(error.find(".png, .jpg, .jpeg, .webp or .pdf") != std::string::npos,
                 error.c_str());

        for (const char* name : {"big.png", "big.pdf", "big.webp"}) {
            bool ok = true;
            WithFileSizeLimit(300, [&] {
                ok = exporting::ExportPanel(panel, dir.filePath(name).toStdString(), {200, 0},
                                            error);
            });
            QVERIFY2(!ok, name);
            QVERIFY2(error.find(name) != std::string::npos, error.c_str());
        }
        QCOMPARE(FolderEntries(dir.path()), QStringList());

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
        QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
        {
            testsupport::CHonouredPermissions honoured;
            if (!honoured.Holds()) {
                QSKIP("file permissions cannot be enforced here");
            }
            QVERIFY(!exporting::ExportPanel(panel, dir.filePath("locked/x.png").toStdString(), {},
                                            error));
        }
        QVERIFY2(error.find("Permission denied") != std::string::npos, error.c_str());
        QCOMPARE(FolderEntries(dir.filePath("locked")), QStringList());
    }

    void CommandLineExportsAndWarns() {
        const SRun version = RunCli({"--version"});
        QCOMPARE(version.nStatus, 0);
        QCOMPARE(version.strOut, std::string("velmo 1.1.0\n"));

        // A panel whose picture is gone exports as the view shows it, with a warning.
        QVERIFY(testsupport::WritePicture(Path("gone.jpg"), QSize(64, 48), Qt::green));
        QVERIFY(testsupport::WritePanel(Path("gone.vlm"), 640, 480, 0x00FF0000, Path("gone.jpg")));
        QVERIFY(QFile::remove(Path("gone.jpg")));
        SRun r = RunCli({"export", StdPath("gone.vlm"), StdPath("gone.png"), "--width", "320"});
        QCOMPARE(r.nStatus, 0);
        QVERIFY2(r.strErr.find("warning") != std::string::npos &&
                     r.strErr.find("gone.jpg") != std::string::npos,
                 r.strErr.c_str());
        QCOMPARE(QImage(Path("gone.png")).size(), QSize(320, 240));

        r = RunCli({"export", StdPath("gone.vlm"), StdPath("x.png"), "--zoom", "5"});
        QCOMPARE(r.nStatus, 2);
        QVERIFY(r.strErr.find("10 to 1000") != std::string::npos);
        r = RunCli(
            {"export", StdPath("gone.vlm"), StdPath("x.png"), "--zoom", "50", "--width", "100"});
        QCOMPARE(r.nStatus, 2);
        r = RunCli({"export", StdPath("gone.vlm"), StdPath("x.tiff")});
        QCOMPARE(r.nStatus, 1);
        QVERIFY(r.strErr.find(".webp") != std::string::npos);
        QVERIFY(!QFile::exists(Path("x.png")) && !QFile::exists(Path("x.tiff")));
    }
};

QTEST_MAIN(CPanelExportTest)
#include "panel_export_test.moc"
