// The panel view: scroll extent and steps at a zoom, the grey strips beyond the panel, the
// scrolled painting, the zoom range, the opening history step, the drag frame over the painted
// image, and printing through the same paint procedure.
#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "UiTestSupport.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/PanelPrint.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "framework/FwDocument.h"
#include "framework/MDIChildWnd.h"
#include "model/VelmoDoc.h"

using namespace testsupport;
using namespace uitest;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

QColor PixelAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

} // namespace

class CPanelViewTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CVelmoApp> m_app;
    QTemporaryDir m_dir;

    CVelmoView* View() { return ActiveView(*m_app); }
    CVelmoDoc& Doc() { return *View()->GetDocument(); }
    // Gives the view a client area of exactly w x h pixels.
    void SetClientSize(int w, int h) {
        fw::CMDIChildWnd* frame = m_app->MainFrame()->ActiveFrame();
        frame->showNormal();
        // Scroll bars come and go with the size; a few rounds settle it.
        for (int round = 0; round < 3 && View()->viewport()->size() != QSize(w, h); ++round) {
            const QSize client = View()->viewport()->size();
            frame->resize(frame->size() + QSize(w, h) - client);
            Settle();
        }
        QCOMPARE(View()->viewport()->size(), QSize(w, h));
    }
    QImage Grab() { return View()->viewport()->grab().toImage(); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Tollan Works"), QStringLiteral("Velmo")).clear();
        QVERIFY(m_dir.isValid());
    }
    void init() {
        m_app = StartApp();
        m_app->MainFrame()->resize(1400, 1100);
        Settle();
        Doc().m_panel.m_crBack = MakeRgb(255, 0, 0);
        Doc().m_panel.m_rcTotal = CRect{0, 0, 400, 300};
        View()->UpdateScrollExtent();
    }
    void cleanup() {
        m_app->DocManager().CloseAllDocuments();
        m_app.reset();
        Settle();
    }

    void extentAndStepsAtZoom200() {
        QVERIFY(View()->SetZoom(200));
        QCOMPARE(View()->GetScrollExtent(), QSize(800, 600));
        QCOMPARE(View()->horizontalScrollBar()->pageStep(), 80);
        QCOMPARE(View()->horizontalScrollBar()->singleStep(), 8);
        QCOMPARE(View()->verticalScrollBar()->pageStep(), 60);
        QCOMPARE(View()->verticalScrollBar()->singleStep(), 6);
        // The zoom belongs to the view: the document is not modified, nothing is recorded.
        QVERIFY(!m_app->DocManager().Documents().front()->IsModified());
        QCOMPARE(Doc().m_history.Count(), 1);
    }

    void greyStripsLieBeyondTheExtent() {
        QVERIFY(View()->SetZoom(200));
        SetClientSize(1000, 800);
        const QColor gray = CVelmoView::GrayTextColor(View()->palette());
        QVERIFY(gray != kRed);
        const QImage image = Grab();
        QCOMPARE(PixelAt(image, 0, 0), kRed);
        QCOMPARE(PixelAt(image, 799, 599), kRed);
        QCOMPARE(PixelAt(image, 800, 0), gray);
        QCOMPARE(PixelAt(image, 999, 799), gray);
        QCOMPARE(PixelAt(image, 0, 600), gray);
        QCOMPARE(PixelAt(image, 799, 600), gray);
        QCOMPARE(View()->horizontalScrollBar()->maximum(), 0);

        // A smaller zoom moves the strips in.
        QVERIFY(View()->SetZoom(50));
        const QImage smaller = Grab();
        QCOMPARE(PixelAt(smaller, 199, 149), kRed);
        QCOMPARE(PixelAt(smaller, 200, 149), gray);
        QCOMPARE(PixelAt(smaller, 199, 150), gray);
    }

    void scrolledPaintingAndNoStripsInASmallWindow() {
        const QString picture = m_dir.filePath(QStringLiteral("blue.bmp"));
        QImage blue(100, 100, QImage::Format_RGB32);
        blue.fill(kBlue);
        QVERIFY(blue.save(picture));
        QCOMPARE(Doc().m_panel.m_image.Import(picture.toStdString(), Doc().PictureDecoder()),
                 EImportResult::Imported);
        QCOMPARE(Doc().m_panel.m_image.m_rcBody, (CRect{50, 50, 350, 350}));
        View()->InvalidateView();

        SetClientSize(300, 200);
        QCOMPARE(View()->horizontalScrollBar()->maximum(), 100);
        QCOMPARE(View()->verticalScrollBar()->maximum(), 100);
        View()->horizontalScrollBar()->setValue(100);
        View()->verticalScrollBar()->setValue(100);
        QCOMPARE(View()->ClientToView(QPoint(0, 0)), QPoint(100, 100));
        QCOMPARE(View()->ViewToClient(CRect{150, 150, 160, 170}), (CRect{50, 50, 60, 70}));
        const QImage image = Grab();
        QCOMPARE(PixelAt(image, 0, 0), kBlue);    // view (100, 100): the picture
        QCOMPARE(PixelAt(image, 249, 10), kBlue); // view (349, 110)
        QCOMPARE(PixelAt(image, 250, 10), kRed);  // view (350, 110): beside it
        QCOMPARE(PixelAt(image, 299, 199), kRed); // no strip where the panel fills the window
    }

    void zoomAcceptsTenToThousand() {
        QVERIFY(!View()->SetZoom(9));
        QVERIFY(!View()->SetZoom(1001));
        QVERIFY(!View()->SetZoom(-100));
        QCOMPARE(View()->GetZoom(), 100);
        QVERIFY(View()->SetZoom(10));
        QCOMPARE(View()->GetScrollExtent(), QSize(40, 30));
        QVERIFY(View()->SetZoom(1000));
        QCOMPARE(View()->GetScrollExtent(), QSize(4000, 3000));
        Doc().m_panel.m_rcTotal = CRect{0, 0, 10, 641};
        QVERIFY(View()->SetZoom(33));
        QCOMPARE(View()->GetScrollExtent(), QSize(3, 211));
    }

    void openingStateIsTheFirstHistoryStep() {
        // The untitled panel of the start and a panel read from a file both start with one
        // step and unmodified.
        QCOMPARE(Doc().m_history.Count(), 1);
        QVERIFY(!Doc().m_history.CanUndo());
        const QString path = m_dir.filePath(QStringLiteral("history.vlm"));
        QVERIFY(WritePanel(path, 123, 45, MakeRgb(0, 255, 0)));
        QVERIFY(m_app->DocManager().OpenDocumentFile(path));
        QCOMPARE(Doc().m_history.Count(), 1);
        QVERIFY(!m_app->DocManager().Documents().back()->IsModified());
        // The first extent is the overall rectangle at 100 %.
        QCOMPARE(View()->GetScrollExtent(), QSize(123, 45));
    }

    void repaintReadsTheDocumentAfresh() {
        SetClientSize(500, 400);
        QCOMPARE(PixelAt(Grab(), 10, 10), kRed);
        Doc().m_panel.m_crBack = MakeRgb(0, 0, 255);
        View()->OnUpdate();
        QCOMPARE(PixelAt(Grab(), 10, 10), kBlue);
    }

    void dragFrameInvertsOnePixelOverThePanel() {
        SetClientSize(500, 400);
        View()->m_nDragMode = CVelmoView::DRAG_MOVE_FUKI;
        View()->m_rcTrack = CRect{10, 20, 50, 40};
        const QImage image = Grab();
        const QColor inverted(0, 255, 255);
        QCOMPARE(PixelAt(image, 10, 20), inverted);
        QCOMPARE(PixelAt(image, 49, 20), inverted);
        QCOMPARE(PixelAt(image, 10, 39), inverted);
        QCOMPARE(PixelAt(image, 49, 39), inverted);
        QCOMPARE(PixelAt(image, 30, 39), inverted);
        QCOMPARE(PixelAt(image, 11, 21), kRed); // never filled
        QCOMPARE(PixelAt(image, 50, 20), kRed);
        QCOMPARE(PixelAt(image, 10, 40), kRed);
        View()->m_nDragMode = CVelmoView::DRAG_NONE;
        QCOMPARE(PixelAt(Grab(), 10, 20), kRed);
    }

    void printingPaintsOnePageAtTheZoomWithoutScrolling() {
        SetClientSize(100, 100);
        QVERIFY(View()->SetZoom(50));
        View()->horizontalScrollBar()->setValue(50);
        QImage page(400, 300, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            View()->PaintPanel(painter);
        }
        QCOMPARE(PixelAt(page, 0, 0), kRed);
        QCOMPARE(PixelAt(page, 199, 149), kRed);
        QCOMPARE(PixelAt(page, 200, 149), QColor(Qt::white));

        const QString pdf = m_dir.filePath(QStringLiteral("page.pdf"));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        editor::PreparePrinter(printer);
        View()->PrintPage(printer);
        const QByteArray bytes = ReadBytes(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), qsizetype(1));
    }
};

QTEST_MAIN(CPanelViewTest)
#include "PanelViewTest.moc"
