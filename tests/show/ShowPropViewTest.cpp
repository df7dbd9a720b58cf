// The show view on its form: filling from the show's folder, "追加" before the selection and at
// the empty entry, duplicates, "削除", double-clicks, capitals in file names, copying back, the
// play commands' refusals, and the full show.
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "ShowTestSupport.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/FwDocument.h"
#include "framework/MDIChildWnd.h"
#include "model/VelmoShowDoc.h"
#include "show/ShowPropView.h"

using namespace showtest;
using namespace testsupport;

namespace {

QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

int SelectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.size() == 1 ? list->row(selected.front()) : -1;
}

std::vector<std::string> Names(const CVelmoShowDoc& doc) {
    std::vector<std::string> names;
    for (int i = 0; i < doc.m_show.m_nCount; ++i) {
        names.push_back(doc.m_show.m_strNames[static_cast<std::size_t>(i)]);
    }
    return names;
}

void Select(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.front());
}

} // namespace

class CShowPropViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        for (const char* name : {"b.vlm", "a.vlm", "C.vlm", "a.VLM", "x.vlm.y.vlm", "notes.txt",
                                 "写真.vlm", "ü.vlm"}) {
            QVERIFY(WriteBytes(Path(name), QByteArray()));
        }
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.vlm")));
        m_app = StartApp();
        QVERIFY(m_app);
    }

    void cleanup() {
        // Every document goes without asking; the next test opens its own.
        m_app->DocManager().CloseAllDocuments();
        Settle();
    }

    void cleanupTestCase() { m_app.reset(); }

    void fillsTheFormFromTheShowsFolderOnly() {
        QVERIFY(WriteShow(Path("fill.vls"), {"b", "missing"}));
        const QString cwd = QDir::currentPath();
        CShowPropView* view = Open("fill.vls");
        QVERIFY(view);
        // Sorted without regard to case; only a lower-case ".vlm" is taken off; folders and
        // names a show cannot store are not listed.
        QCOMPARE(Texts(view->m_listAll), (QStringList{"a", "a.VLM", "b", "C", "x.vlm.y", "写真"}));
        QCOMPARE(Texts(view->m_listShow), (QStringList{"b", "missing", ""}));
        QCOMPARE(SelectedRow(view->m_listShow), 0);
        QCOMPARE(SelectedRow(view->m_listAll), -1);
        // The folder was searched by name; the process's current directory did not move.
        QCOMPARE(QDir::currentPath(), cwd);

        QStringList labels;
        for (const QLabel* label : view->findChildren<QLabel*>()) {
            labels << label->text();
        }
        QCOMPARE(labels, (QStringList{"すべてのベルモ書類", "ベルモショーの内容"}));
        QCOMPARE(Button(view, 1022)->text(), QStringLiteral("追加"));
        QCOMPARE(Button(view, 1021)->text(), QStringLiteral("削除"));
        QCOMPARE(view->m_listAll->objectName(), QStringLiteral("1025"));
        QCOMPARE(view->m_listShow->objectName(), QStringLiteral("1024"));
        QVERIFY(!Document(view)->IsModified());
    }

    void addInsertsBeforeTheSelectionAndAppendsAtTheEmptyEntry() {
        QVERIFY(WriteShow(Path("add.vls"), {"b", "missing"}));
        CShowPropView* view = Open("add.vls");
        // Nothing chosen on the left: nothing happens.
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        QVERIFY(!Document(view)->IsModified());

        Select(view->m_listAll, QStringLiteral("a"));
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        QCOMPARE(Texts(view->m_listShow), (QStringList{"a", "b", "missing", ""}));
        // The selection stays on the entry it was on, one place down.
        QCOMPARE(SelectedRow(view->m_listShow), 1);
        QVERIFY(Document(view)->IsModified());
        QCOMPARE(Names(*Document(view)), (std::vector<std::string>{"a", "b", "missing"}));

        // With the empty entry selected every add appends; duplicates are allowed.
        view->m_listShow->setCurrentRow(3);
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        Select(view->m_listAll, QStringLiteral("a.VLM"));
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        QCOMPARE(Texts(view->m_listShow),
                 (QStringList{"a", "b", "missing", "a", "a", "a.VLM", ""}));
        QCOMPARE(SelectedRow(view->m_listShow), 6);
        QCOMPARE(Names(*Document(view)),
                 (std::vector<std::string>{"a", "b", "missing", "a", "a", "a.VLM"}));

        // Saved as listed: a.VLM plays as "a.VLM.vlm".
        QVERIFY(Route(*m_app, cmd::ID_FILE_SAVE));
        CShowData saved;
        QVERIFY(saved.LoadFromPath(Path("add.vls").toStdString()));
        QCOMPARE(saved.m_nCount, 6);
        QCOMPARE(saved.m_strNames[5], std::string("a.VLM"));
    }

    void removeTakesTheSelectedNameButNeverTheEmptyEntry() {
        QVERIFY(WriteShow(Path("remove.vls"), {"a", "b", "C"}));
        CShowPropView* view = Open("remove.vls");
        view->m_listShow->setCurrentRow(1);
        QTest::mouseClick(Button(view, 1021), Qt::LeftButton);
        QCOMPARE(Texts(view->m_listShow), (QStringList{"a", "C", ""}));
        QCOMPARE(SelectedRow(view->m_listShow), 1);
        QCOMPARE(Names(*Document(view)), (std::vector<std::string>{"a", "C"}));
        QVERIFY(Document(view)->IsModified());

        // Removing the last name selects the empty entry, which cannot be removed.
        QTest::mouseClick(Button(view, 1021), Qt::LeftButton);
        QCOMPARE(SelectedRow(view->m_listShow), 1);
        QTest::mouseClick(Button(view, 1021), Qt::LeftButton);
        QTest::mouseClick(Button(view, 1021), Qt::LeftButton);
        QCOMPARE(Texts(view->m_listShow), (QStringList{"a", ""}));
        QCOMPARE(Document(view)->m_show.m_nCount, 1);
        view->m_listShow->setCurrentRow(0);
        QTest::mouseClick(Button(view, 1021), Qt::LeftButton);
        QCOMPARE(Texts(view->m_listShow), QStringList{""});
        QCOMPARE(Document(view)->m_show.m_nCount, 0);
        QTest::mouseClick(Button(view, 1021), Qt::LeftButton);
        QCOMPARE(Texts(view->m_listShow), QStringList{""});
    }

    void doubleClicksAddOnTheLeftAndRemoveOnTheRight() {
        QVERIFY(WriteShow(Path("double.vls"), {"b"}));
        CShowPropView* view = Open("double.vls");
        view->m_listShow->setCurrentRow(1);
        DoubleClick(view->m_listAll, QStringLiteral("C"));
        QCOMPARE(Texts(view->m_listShow), (QStringList{"b", "C", ""}));
        DoubleClick(view->m_listShow, QStringLiteral("b"));
        QCOMPARE(Texts(view->m_listShow), (QStringList{"C", ""}));
        DoubleClick(view->m_listShow, QString());
        QCOMPARE(Texts(view->m_listShow), (QStringList{"C", ""}));
        QCOMPARE(Names(*Document(view)), std::vector<std::string>{"C"});
    }

    void namesReadFromTheFileAreCopiedBackByteForByte() {
        // Header 5, one name of bytes that are no valid text, reserved 9.
        QByteArray bytes("\x05\0\0\0\x01\0\0\0\x09\0\0\0\x02\x81\x20", 15);
        QVERIFY(WriteBytes(Path("bytes.vls"), bytes));
        CShowPropView* view = Open("bytes.vls");
        view->m_listShow->setCurrentRow(1);
        Select(view->m_listAll, QStringLiteral("b"));
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        QVERIFY(Route(*m_app, cmd::ID_FILE_SAVE));
        QCOMPARE(ReadBytes(Path("bytes.vls")),
                 QByteArray("\x05\0\0\0\x02\0\0\0\x09\0\0\0\x02\x81\x20\x01\x62", 17));
    }

    void playIsRefusedUntilSavedAndWhileEmpty() {
        QVERIFY(WriteShow(Path("play.vls"), {}));
        CShowPropView* view = Open("play.vls");
        CFakePlayer player;
        {
            CMessageCapture messages;
            QVERIFY(Route(*m_app, cmd::ID_SLIDESHOW_MANUAL));
            QCOMPARE(messages.Texts(), QStringList{"ショーデータが空なので、ショーができません。"});
            QCOMPARE(messages.Captions(), QStringList{"エラー"});
            QVERIFY(messages.m_requests.front().icon == fw::EMsgIcon::None);
        }
        Select(view->m_listAll, QStringLiteral("a"));
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        // Removing it again leaves the show as it was saved, but changed all the same.
        view->m_listShow->setCurrentRow(0);
        QTest::mouseClick(Button(view, 1021), Qt::LeftButton);
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        for (int id : {cmd::ID_SLIDESHOW_MANUAL, cmd::ID_SLIDESHOW_AUTO}) {
            CMessageCapture messages;
            QVERIFY(Route(*m_app, id));
            QCOMPARE(messages.Texts(),
                     QStringList{"書類は変更されています。ショーを見るには保存してください"});
            QCOMPARE(messages.Captions(), QStringList{"保存"});
        }
        QVERIFY(player.m_calls.empty());

        QVERIFY(Route(*m_app, cmd::ID_FILE_SAVE));
        CMessageCapture messages;
        QVERIFY(Route(*m_app, cmd::ID_SLIDESHOW_MANUAL));
        QVERIFY(Route(*m_app, cmd::ID_SLIDESHOW_AUTO));
        QVERIFY(messages.m_requests.empty());
        QCOMPARE(player.m_calls.size(), std::size_t(2));
        QCOMPARE(player.m_calls[0].strPath, Path("play.vls"));
        QVERIFY(player.m_calls[0].bManual);
        QVERIFY(!player.m_calls[1].bManual);
    }

    void theHundredAndFirstAddIsRefused() {
        QStringList hundred;
        for (int i = 0; i < 100; ++i) {
            hundred << QStringLiteral("b");
        }
        QVERIFY(WriteShow(Path("full.vls"), hundred));
        CShowPropView* view = Open("full.vls");
        QCOMPARE(view->m_listShow->count(), 101);
        Select(view->m_listAll, QStringLiteral("a"));
        CMessageCapture messages;
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        QCOMPARE(messages.Texts(),
                 QStringList{"ショーデータがいっぱいなので、これ以上追加できません。"});
        QCOMPARE(messages.Captions(), QStringList{"エラー"});
        QCOMPARE(view->m_listShow->count(), 101);
        QCOMPARE(Document(view)->m_show.m_nCount, 100);
        QVERIFY(!Document(view)->IsModified());

        // One removed, one added: full again, and the next is refused again.
        QTest::mouseClick(Button(view, 1021), Qt::LeftButton);
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        QCOMPARE(Document(view)->m_show.m_nCount, 100);
        QCOMPARE(messages.m_requests.size(), std::size_t(1));
        QTest::mouseClick(Button(view, 1022), Qt::LeftButton);
        QCOMPARE(messages.m_requests.size(), std::size_t(2));
        QCOMPARE(Document(view)->m_show.m_nCount, 100);
    }

private:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    CShowPropView* Open(const char* name) {
        fw::CDocument* document = m_app->DocManager().OpenDocumentFile(Path(name));
        Settle();
        return document ? dynamic_cast<CShowPropView*>(document->GetView()) : nullptr;
    }

    static CVelmoShowDoc* Document(CShowPropView* view) { return view->GetDocument(); }

    static QPushButton* Button(CShowPropView* view, int id) {
        return view->findChild<QPushButton*>(QString::number(id));
    }

    static void DoubleClick(QListWidget* list, const QString& text) {
        const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        const QPoint at = list->visualItemRect(found.front()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CVelmoApp> m_app;
};

QTEST_MAIN(CShowPropViewTest)
#include "ShowPropViewTest.moc"
