// The headless commands called the way the velmo executable calls them: PNG export of a panel
// file and JSON descriptions of panel and show files, with their failures.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "CliTestSupport.h"
#include "TestPictures.h"
#include "model/ShowData.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"
#include "render/QtPictureDecoder.h"

namespace {

using SResult = clitest::SRun;

SResult Run(std::vector<std::string> args) {
    return clitest::RunCli(std::move(args));
}

bool IsOneLine(const std::string& s) {
    return !s.empty() && s.back() == '\n' && s.find('\n') == s.size() - 1;
}

} // namespace

class CCliTest : public QObject {
    Q_OBJECT
    render::CQtPictureDecoder m_decoder;
    QTemporaryDir m_dir;

    std::string Path(const char* name) const { return m_dir.filePath(name).toStdString(); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void NotACommandLeavesItToTheEditor() {
        QCOMPARE(Run({}).nStatus, -1);
        QCOMPARE(Run({"panel.vlm"}).nStatus, -1);
        QCOMPARE(Run({"--zoom", "50"}).nStatus, -1);
    }

    void ExportsTheDefaultBalloonPanel() {
        CVelmoDoc doc(m_decoder);
        doc.m_panel.m_crBack = 0x00FFFFFF;
        doc.m_panel.AddFuki();
        QCOMPARE(doc.OnSaveDocument(Path("balloon.vlm")), EDocOutcome::Saved);

        SResult r = Run({"--export-png", Path("out.png"), Path("balloon.vlm")});
        QCOMPARE(r.nStatus, 0);
        QVERIFY(r.strErr.empty());
        QImage png(m_dir.filePath("out.png"));
        QCOMPARE(png.size(), QSize(640, 480));
        QCOMPARE(png.pixel(100, 145), qRgb(255, 160, 160));
        QCOMPARE(png.pixel(50, 100), qRgb(0, 0, 0));
        QCOMPARE(png.pixel(149, 166), qRgb(255, 160, 160));
        QCOMPARE(png.pixel(400, 300), qRgb(255, 255, 255));
        QCOMPARE(png.pixel(45, 45), qRgb(255, 255, 255)); // unselected: no grab squares

        r = Run({"--export-png", Path("half.png"), Path("balloon.vlm"), "--zoom", "50"});
        QCOMPARE(r.nStatus, 0);
        png = QImage(m_dir.filePath("half.png"));
        QCOMPARE(png.size(), QSize(320, 240));
        QCOMPARE(png.pixel(25, 50), qRgb(0, 0, 0));
        QCOMPARE(png.pixel(26, 50), qRgb(255, 160, 160));
    }

    void ExportFindsThePictureBesideThePanel() {
        testpic::Save(m_dir, "beside.png", testpic::Solid(100, 50, QColor(0, 0, 255)), "PNG");
        CVelmoDoc doc(m_decoder);
        QCOMPARE(doc.m_panel.m_image.Import(Path("beside.png"), m_decoder),
                 EImportResult::Imported);
        doc.m_panel.m_image.m_strPath = "/nowhere/beside.png"; // only the bare name can find it
        QCOMPARE(doc.OnSaveDocument(Path("pic.vlm")), EDocOutcome::Saved);
        const SResult r = Run({"--export-png", Path("pic.png"), Path("pic.vlm")});
        QCOMPARE(r.nStatus, 0);
        const QImage png(m_dir.filePath("pic.png"));
        QCOMPARE(png.pixel(200, 100), qRgb(0, 0, 255));
    }

    void ExportFailuresAreOneLineAndNonZero() {
        SResult r = Run({"--export-png", Path("x.png"), Path("missing.vlm")});
        QVERIFY(r.nStatus > 0);
        QVERIFY2(IsOneLine(r.strErr), r.strErr.c_str());
        QVERIFY(!QFile::exists(m_dir.filePath("x.png")));

        testpic::WriteAll(m_dir.filePath("damaged.vlm"), QByteArray(100, '\x01'));
        r = Run({"--export-png", Path("x.png"), Path("damaged.vlm")});
        QVERIFY(r.nStatus > 0);
        QVERIFY2(IsOneLine(r.strErr), r.strErr.c_str());
        QVERIFY(r.strErr.find("Unexpected file format.") != std::string::npos);

        CVelmoDoc doc(m_decoder);
        QCOMPARE(doc.OnSaveDocument(Path("ok.vlm")), EDocOutcome::Saved);
        for (const char* zoom : {"0", "1001", "abc", "50x"}) {
            r = Run({"--export-png", Path("x.png"), Path("ok.vlm"), "--zoom", zoom});
            QVERIFY(r.nStatus > 0);
            QVERIFY2(IsOneLine(r.strErr), r.strErr.c_str());
        }
        r = Run({"--export-png", Path("ok.vlm")});
        QVERIFY(r.nStatus > 0);
        QVERIFY(!QFile::exists(m_dir.filePath("x.png")));
    }

    void InfoOfAPanelShowsEveryField() {
        CVelmoDoc doc(m_decoder);
        CPanel& panel = doc.m_panel;
        panel.m_nFirstWait = 45;
        panel.m_crBack = MakeRgb(1, 2, 3);
        panel.m_rcTotal = CRect{0, 0, 800, 600};
        const int slot = panel.AddFuki();
        CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(slot)];
        fuki.m_strText = *Utf8ToCp932Exact("こんにちは\r\n世界");
        fuki.m_strFontFace = *Utf8ToCp932Exact("ＭＳ ゴシック");
        fuki.m_nReserved1 = 7;
        fuki.m_nReserved2 = -8;
        panel.m_image.m_strName = *Utf8ToCp932Exact("写真.jpg");
        panel.m_image.m_strPath = *Utf8ToCp932Exact("C:\\写真\\写真.jpg");
        panel.m_image.m_nKind = 1;
        panel.m_image.m_nWait = 12;
        QCOMPARE(doc.OnSaveDocument(Path("info.vlm")), EDocOutcome::Saved);

        const SResult r = Run({"--info", Path("info.vlm")});
        QCOMPARE(r.nStatus, 0);
        QJsonParseError error;
        const QJsonDocument json =
            QJsonDocument::fromJson(QByteArray::fromStdString(r.strOut), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonObject root = json.object();
        QCOMPARE(root["type"].toString(), QString("panel"));
        const QJsonObject header = root["header"].toObject();
        QCOMPARE(header["m_nVersion"].toInt(), 256);
        QCOMPARE(header["m_nFirstWait"].toInt(), 45);
        QCOMPARE(header["m_rcTotal"].toObject()["right"].toInt(), 800);
        QCOMPARE(header["m_crBack"].toInt(), 0x030201);
        QCOMPARE(header["m_crBackRGB"].toString(), QString("#010203"));
        QCOMPARE(root["version"].toInt(), 2);
        const QJsonObject picture = root["picture"].toObject();
        QCOMPARE(picture["m_strName"].toString(), QString("写真.jpg"));
        QCOMPARE(picture["m_strPath"].toString(), QString("C:\\写真\\写真.jpg"));
        QCOMPARE(picture["m_nKind"].toInt(), 1);
        QCOMPARE(picture["m_nWait"].toInt(), 12);
        QCOMPARE(picture["decoded"].toBool(), false);
        for (const char* key : {"m_rcBody", "m_crBorder", "m_nBorderWidth", "m_nBorderHeight"}) {
            QVERIFY2(picture.contains(key), key);
        }
        const QJsonArray records = root["slots"].toArray();
        QCOMPARE(records.size(), 10);
        const QJsonObject used = records[slot].toObject();
        QCOMPARE(used["slot"].toInt(), slot);
        QCOMPARE(used["m_nOrder"].toInt(), 1);
        QCOMPARE(used["m_strText"].toString(), QString("こんにちは\r\n世界"));
        QCOMPARE(used["m_strFontFace"].toString(), QString("ＭＳ ゴシック"));
        QCOMPARE(used["m_nReserved1"].toInt(), 7);
        QCOMPARE(used["m_nReserved2"].toInt(), -8);
        QCOMPARE(used["m_crFill"].toInt(), 10526975);
        QCOMPARE(used["m_crFillRGB"].toString(), QString("#FFA0A0"));
        QCOMPARE(used["m_ptTail"].toObject()["x"].toInt(), 200);
        QCOMPARE(used["m_nFontSize"].toInt(), 150);
        const QStringList fields = {
            "m_rcBody",     "m_crBorder",    "m_nBorderWidth", "m_nBorderHeight", "m_nWait",
            "m_nReserved2", "m_crFill",      "m_nTailSide",    "m_nTailBase1",    "m_nTailBase2",
            "m_ptTail",     "m_nOrder",      "m_nCornerWidth", "m_nCornerHeight", "m_strText",
            "m_crText",     "m_strFontFace", "m_nFontSize",    "m_nReserved1"};
        for (const QJsonValue& value : records) {
            for (const QString& field : fields) {
                QVERIFY2(value.toObject().contains(field), qPrintable(field));
            }
        }
        QCOMPARE(records[0].toObject()["m_nOrder"].toInt(), -1);
    }

    // The report reads a picture's header only: a PNG cut in half still reports its size (a
    // decode would refuse it), and a FIFO named as the picture is passed over at once.
    void InfoReadsOnlyThePicturesHeader() {
        const QString png = testpic::Save(m_dir, "half.png", testpic::Gradient(640, 480), "PNG");
        QByteArray bytes = testpic::ReadAll(png);
        bytes.truncate(bytes.size() / 2);
        testpic::WriteAll(png, bytes);
        QVERIFY(::mkfifo(Path("fifo.png").c_str(), 0600) == 0);
        struct SCase {
            const char* picture;
            bool found;
        };
        for (const SCase& c : {SCase{"half.png", true}, SCase{"fifo.png", false}}) {
            CVelmoDoc doc(m_decoder);
            doc.m_panel.m_image.m_strName = c.picture;
            QCOMPARE(doc.OnSaveDocument(Path("header.vlm")), EDocOutcome::Saved);
            ::alarm(60);
            const SResult r = Run({"--info", Path("header.vlm")});
            ::alarm(0);
            QCOMPARE(r.nStatus, 0);
            const QJsonObject picture = QJsonDocument::fromJson(QByteArray::fromStdString(r.strOut))
                                            .object()["picture"]
                                            .toObject();
            QCOMPARE(picture["decoded"].toBool(), c.found);
            QCOMPARE(picture["width"].toInt(), c.found ? 640 : 0);
            QCOMPARE(picture["height"].toInt(), c.found ? 480 : 0);
        }
    }

    void InfoOfAShow() {
        CVelmoShowDoc doc;
        doc.m_show.m_nHeader = 3;
        doc.m_show.m_nReserved = 9;
        doc.m_show.m_nCount = 2;
        doc.m_show.m_strNames[0] = "one";
        doc.m_show.m_strNames[1] = *Utf8ToCp932Exact("二");
        QCOMPARE(doc.OnSaveDocument(Path("show.vls")), EDocOutcome::Saved);

        const SResult r = Run({"--info", Path("show.vls")});
        QCOMPARE(r.nStatus, 0);
        const QJsonObject root =
            QJsonDocument::fromJson(QByteArray::fromStdString(r.strOut)).object();
        QCOMPARE(root["type"].toString(), QString("show"));
        QCOMPARE(root["version"].toInt(), 2);
        QCOMPARE(root["m_nHeader"].toInt(), 3);
        QCOMPARE(root["m_nCount"].toInt(), 2);
        QCOMPARE(root["m_nReserved"].toInt(), 9);
        QCOMPARE(root["m_strNames"].toArray(), QJsonArray({"one", "二"}));
        QCOMPARE(root["m_strFolder"].toString(), m_dir.path() + "/");

        const SResult missing = Run({"--info", Path("absent.vls")});
        QVERIFY(missing.nStatus > 0);
        QVERIFY(IsOneLine(missing.strErr));
        QVERIFY(missing.strOut.empty());
    }
};

QTEST_MAIN(CCliTest)
#include "cli_test.moc"
