// Recovery copies of modified documents: when the keeper writes them (a quiet moment, a long
// run of changes, every twentieth change) and what they hold, that saving and closing remove
// them, and that the start-up dialog restores a copy as the document it was (path, title,
// modified, the same bytes when saved) and discards damaged copies without restoring them.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "UiTestSupport.h"
#include "app/RecoveryDialog.h"
#include "app/VelmoApp.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/FwDocument.h"
#include "framework/RecoveryKeeper.h"
#include "model/Archive.h"
#include "model/FileSystem.h"
#include "model/RecoveryFile.h"
#include "model/VelmoDoc.h"
#include "render/QtPictureDecoder.h"

using namespace testsupport;
using namespace uitest;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Keeper = fw::CRecoveryKeeper;

Bytes SavedBytes(fw::CDocument& document) {
    CArchive ar = CArchive::ForStoring(document.Model().GetPathName());
    document.Model().Serialize(ar);
    return ar.GetStoredBytes();
}

bool ReadCopy(const std::string& file, SRecoveryIndex& index, Bytes& bytes) {
    Bytes raw;
    int err = 0;
    return ReadWholeFile(file, raw, err, 1 << 26) && DecodeRecoveryFile(raw, index, bytes);
}

// Clicks through the start-up dialog once it is open: the given buttons of the given rows, then
// closes it if it is still open.
void AnswerDialog(std::vector<std::pair<int, bool>> clicks) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clicks] {
        auto* dialog = qobject_cast<CRecoveryDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        for (const auto& [row, restore] : clicks) {
            QPushButton* button = restore ? dialog->RestoreButton(row) : dialog->DiscardButton(row);
            if (button && button->isEnabled()) {
                button->click();
            }
        }
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    timer->start(10);
}

CVelmoDoc& PanelOf(fw::CDocument& document) {
    return dynamic_cast<CVelmoDoc&>(document.Model());
}

} // namespace

class CRecoveryTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    std::string Folder() const {
        return m_dir.filePath(QStringLiteral("state/velmo/recovery/")).toStdString();
    }

private slots:
    void initTestCase() {
        // The program's own folder choice puts recovery copies in this test's folder.
        qputenv("XDG_STATE_HOME", m_dir.filePath(QStringLiteral("state")).toUtf8());
    }

    void init() {
        QDir(QString::fromStdString(Folder())).removeRecursively();
        QVERIFY(QDir().mkpath(QString::fromStdString(Folder())));
    }

    void CopiesFollowChangesAndGoWithSaveAndClose() {
        auto app = StartApp();
        QVERIFY(app);
        Keeper keeper(app->DocManager(), Folder());
        fw::CDocument* document = ActiveDocument(*app);
        QVERIFY(document);

        // Unmodified: nothing is written however long it stays so.
        keeper.Poll(0);
        keeper.Poll(Keeper::kMaxDelayMs * 4);
        QVERIFY(keeper.FileOf(document).empty());

        // One change: written once it has been quiet for a moment, not before.
        QVERIFY(Route(*app, cmd::ID_FUKI_ADD));
        keeper.Poll(100000);
        QVERIFY(keeper.FileOf(document).empty());
        keeper.Poll(100000 + Keeper::kQuietMs);
        const std::string file = keeper.FileOf(document);
        QVERIFY(!file.empty());
        keeper.Flush();
        SRecoveryIndex index;
        Bytes bytes;
        QVERIFY(ReadCopy(file, index, bytes));
        QCOMPARE(bytes, SavedBytes(*document));
        QCOMPARE(index.strKind, std::string(".vlm"));
        QCOMPARE(index.strTitle, document->GetTitle().toStdString());
        QVERIFY(index.strPath.empty());
        QCOMPARE(index.owner, CurrentProcessIdentity());
        QCOMPARE(index.strVersion, std::string("1.1.0"));

        // Changes that never pause are copied at the latest after the longest delay.
        qint64 now = 200000;
        keeper.Poll(now);
        CVelmoDoc& panel = PanelOf(*document);
        // A change every 1.9 s: never quiet long enough, and fewer than twenty changes in all.
        for (qint64 t = 0; t < Keeper::kMaxDelayMs + 1900; t += 1900) {
            panel.m_panel.m_crBack = static_cast<COLORREF>(0x100 + t);
            panel.SetModifiedFlag(true);
            keeper.Poll(now + t);
            keeper.Flush();
            QVERIFY(ReadCopy(file, index, bytes));
            // Not copied while the changes go on, until the longest delay is reached.
            QCOMPARE(bytes == SavedBytes(*document), t >= Keeper::kMaxDelayMs);
        }

        // Twenty changes within one moment are copied at once.
        now += Keeper::kMaxDelayMs * 2;
        for (int i = 1; i <= int(Keeper::kStepsPerWrite); ++i) {
            panel.m_panel.m_crBack = static_cast<COLORREF>(0x10000 + i);
            panel.SetModifiedFlag(true);
            keeper.Poll(now);
            keeper.Flush();
            QVERIFY(ReadCopy(file, index, bytes));
            QCOMPARE(bytes == SavedBytes(*document), i == int(Keeper::kStepsPerWrite));
        }

        // Saving removes the copy at once.
        const QString path = m_dir.filePath(QStringLiteral("saved.vlm"));
        QVERIFY(document->DoSave(path));
        keeper.Flush();
        QVERIFY(!IsRegularFile(file));
        QVERIFY(keeper.FileOf(document).empty());

        // A copy of a document closed without saving goes with it.
        QVERIFY(Route(*app, cmd::ID_FUKI_ADD));
        keeper.Poll(now + Keeper::kMaxDelayMs * 10);
        keeper.Poll(now + Keeper::kMaxDelayMs * 10 + Keeper::kQuietMs);
        const std::string second = keeper.FileOf(document);
        QVERIFY(!second.empty() && second != file);
        keeper.Flush();
        QVERIFY(IsRegularFile(second));
        document->OnCloseDocument();
        Settle();
        keeper.Flush();
        QVERIFY(!IsRegularFile(second));
    }

    void StartUpRestoresCopiesAndDiscardsDamagedOnes() {
        // The lost program: a saved panel with changes since, and an untitled show.
        const QString panelPath = m_dir.filePath(QStringLiteral("lost.vlm"));
        QVERIFY(WritePanel(panelPath, 320, 200, MakeRgb(10, 20, 30)));
        const QByteArray before = ReadBytes(panelPath);
        render::CQtPictureDecoder decoder;
        CVelmoDoc lost(decoder);
        QCOMPARE(lost.OnOpenDocument(panelPath.toStdString()), EDocOutcome::Opened);
        lost.RecordChange(false, true);
        lost.AddFuki();
        lost.AddFuki();
        lost.m_panel.m_crBack = 0x00445566;
        CArchive ar = CArchive::ForStoring(panelPath.toStdString());
        lost.Serialize(ar);
        const Bytes expected = ar.GetStoredBytes();

        SProcessIdentity gone = CurrentProcessIdentity();
        gone.nStartTime += 7; // this process id, but a process that has ended
        SRecoveryIndex index;
        index.strKind = ".vlm";
        index.strPath = panelPath.toStdString();
        index.strTitle = "lost.vlm";
        index.owner = gone;
        const std::string good = Folder() + RecoveryFileName(gone, 1);
        QVERIFY(WriteBytes(QString::fromStdString(good), [&] {
            const Bytes file = EncodeRecoveryFile(index, expected);
            return QByteArray(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
        }()));
        // Damaged twice over: a cut-off file, and a whole file whose panel is cut off.
        const std::string cut = Folder() + RecoveryFileName(gone, 2);
        QVERIFY(WriteBytes(QString::fromStdString(cut), QByteArray("velmo-recovery 1\nkind=")));
        index.strPath.clear();
        index.strTitle = "無題7";
        const std::string shortPanel = Folder() + RecoveryFileName(gone, 3);
        const Bytes half(expected.begin(), expected.begin() + 40);
        const Bytes halfFile = EncodeRecoveryFile(index, half);
        QVERIFY(WriteBytes(QString::fromStdString(shortPanel),
                           QByteArray(reinterpret_cast<const char*>(halfFile.data()),
                                      qsizetype(halfFile.size()))));

        // The program starts with recovery on, takes the three copies over and offers them:
        // restore all three (only the whole one opens), then discard what is left.
        AnswerDialog({{0, true}, {1, true}, {2, true}, {1, false}, {2, false}});
        CVelmoApp app;
        CVelmoApp::SStartup startup;
        startup.bServeShellRequests = false;
        startup.bKeepRecovery = true;
        QVERIFY(app.InitInstance(startup));
        QVERIFY(app.RecoveryKeeper());
        QCOMPARE(app.RecoveryKeeper()->Folder(), Folder());
        QTRY_COMPARE(app.DocManager().Documents().size(), std::size_t(2));
        Settle();
        const std::string adopted = Folder() + RecoveryFileName(CurrentProcessIdentity(), 1);
        QVERIFY(!IsRegularFile(good));

        fw::CDocument* restored = app.DocManager().FindOpenDocument(panelPath);
        QVERIFY(restored);
        QVERIFY(restored->IsModified());
        QCOMPARE(restored->GetTitle(), QStringLiteral("lost.vlm"));
        // The copy taken over is the restored document's own now; the damaged ones are gone.
        QCOMPARE(app.RecoveryKeeper()->FileOf(restored), adopted);
        QVERIFY(IsRegularFile(adopted));
        QCOMPARE(
            QDir(QString::fromStdString(Folder())).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QCOMPARE(ReadBytes(panelPath), before); // nothing written before the user saves

        // The first save writes the original file with exactly the lost program's bytes, and
        // the copy goes.
        QVERIFY(restored->DoFileSave());
        const QByteArray saved = ReadBytes(panelPath);
        QCOMPARE(Bytes(saved.begin(), saved.end()), expected);
        app.RecoveryKeeper()->Flush();
        QVERIFY(!IsRegularFile(adopted));
    }
};

QTEST_MAIN(CRecoveryTest)
#include "RecoveryTest.moc"
