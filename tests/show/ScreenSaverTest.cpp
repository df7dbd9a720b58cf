// The player keeps the screensaver off while a show plays: a stand-in for the desktop's
// org.freedesktop.ScreenSaver service on the session bus of the test (run under
// dbus-run-session) records every Inhibit and UnInhibit. The service answers on a thread of
// its own, as a desktop would from its own process.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include "ShowTestSupport.h"
#include "render/QtPictureDecoder.h"
#include "show/ScreenWnd.h"

using namespace showtest;
using namespace testsupport;

namespace {

const char* const kFakeBus = "fake-screensaver";

// The desktop's screensaver service: hands out cookies 100, 101, ... and keeps the calls.
class CFakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    struct SCounts {
        int nInhibits = 0;
        QList<uint> released;
        QSet<uint> held;
    };
    SCounts Counts() const {
        QMutexLocker lock(&m_mutex);
        return m_counts;
    }

public slots:
    uint Inhibit(const QString& application, const QString& reason) {
        QMutexLocker lock(&m_mutex);
        m_strApplication = application;
        m_strReason = reason;
        ++m_counts.nInhibits;
        const uint cookie = m_nNext++;
        m_counts.held.insert(cookie);
        return cookie;
    }
    void UnInhibit(uint cookie) {
        QMutexLocker lock(&m_mutex);
        m_counts.released.append(cookie);
        m_counts.held.remove(cookie);
    }

private:
    mutable QMutex m_mutex;
    SCounts m_counts;
    uint m_nNext = 100;
    QString m_strApplication;
    QString m_strReason;
};

// Qt's decoder, until told to throw as a decoder out of memory would.
class CFailingDecoder : public IPictureDecoder {
public:
    PictureHandle Decode(const std::string& path) override {
        if (m_bThrow) {
            throw std::runtime_error("no memory");
        }
        return m_decoder.Decode(path);
    }
    bool m_bThrow = false;

private:
    render::CQtPictureDecoder m_decoder;
};

} // namespace

class CScreenSaverTest : public QObject {
    Q_OBJECT
    CFailingDecoder m_decoder;
private slots:
    void initTestCase() {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        QVERIFY(m_dir.isValid());
        QVERIFY(WritePicture(Path("green.bmp"), QSize(20, 20), QColor(Qt::green)));
        QVERIFY(WritePanel(Path("a.vlm"), MakePanel(320, 240, MakeRgb(255, 0, 0))));
        QVERIFY(WritePanel(Path("pic.vlm"), MakePanel(320, 240, MakeRgb(0, 0, 255),
                                                      Path("green.bmp"), CRect{0, 0, 20, 20})));
        QVERIFY(WriteShow(Path("show.vls"), {"a", "pic"}));
        QByteArray cut = ReadBytes(Path("a.vlm"));
        cut.chop(3);
        QVERIFY(WriteBytes(Path("cut.vlm"), cut));
        QVERIFY(WriteShow(Path("cutlater.vls"), {"a", "cut", "a"}));

        m_thread.start();
        m_fake.moveToThread(&m_thread);
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kFakeBus);
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &m_fake,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    }

    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus(kFakeBus);
        m_thread.quit();
        m_thread.wait();
    }

    void inhibitedWhilePlayingAndReleasedOnEveryWayOut() {
        enum EWayOut { Escape, CloseRequest, PastTheLastLayer, Destroyed, LaterPanelThrows };
        for (const EWayOut way :
             {Escape, CloseRequest, PastTheLastLayer, Destroyed, LaterPanelThrows}) {
            const auto before = m_fake.Counts();
            auto wnd = std::make_unique<CScreenWnd>(m_decoder);
            wnd->Create(QSize(320, 240));
            wnd->PlayDocumentFile(Path("show.vls"), true);
            QVERIFY(wnd->isVisible());
            QTRY_COMPARE(m_fake.Counts().nInhibits, before.nInhibits + 1);
            QTRY_VERIFY(wnd->Inhibitor().HasCookie());
            // Another show replacing this one keeps the one inhibition.
            wnd->PlayDocumentFile(Path("show.vls"), true);
            QCoreApplication::processEvents();
            QCOMPARE(m_fake.Counts().held.size(), before.held.size() + 1);
            const uint cookie = *m_fake.Counts().held.begin();

            switch (way) {
            case Escape:
                QTest::keyClick(wnd.get(), Qt::Key_Escape);
                break;
            case CloseRequest:
                wnd->close();
                break;
            case PastTheLastLayer:
                for (int i = 0; i < 4; ++i) {
                    wnd->OnClick();
                }
                break;
            case Destroyed:
                wnd.reset();
                break;
            case LaterPanelThrows: {
                m_decoder.m_bThrow = true;
                wnd->Preparer().Wait();
                wnd->OnClick();
                QVERIFY_THROWS_EXCEPTION(std::runtime_error, wnd->OnClick());
                m_decoder.m_bThrow = false;
                break;
            }
            }
            QVERIFY(!wnd || !wnd->isVisible());
            QTRY_VERIFY(m_fake.Counts().held.isEmpty());
            QCOMPARE(m_fake.Counts().released.size(), before.released.size() + 1);
            QCOMPARE(m_fake.Counts().released.last(), cookie);
        }
    }

    void aLaterDamagedPanelKeepsTheInhibitionUntilTheEnd() {
        const auto before = m_fake.Counts();
        CScreenWnd wnd(m_decoder);
        wnd.Create(QSize(320, 240));
        wnd.PlayDocumentFile(Path("cutlater.vls"), true);
        QTRY_VERIFY(wnd.Inhibitor().HasCookie());
        for (int i = 0; i < 4; ++i) {
            wnd.OnClick();
        }
        QCOMPARE(wnd.Playback().m_nIndex, 2);
        QCOMPARE(m_fake.Counts().released.size(), before.released.size());
        wnd.OnClick();
        wnd.OnClick();
        QVERIFY(!wnd.isVisible());
        QTRY_VERIFY(m_fake.Counts().held.isEmpty());
        QCOMPARE(m_fake.Counts().nInhibits, before.nInhibits + 1);
    }

    void aShowEndedBeforeTheAnswerStillGivesItBack() {
        const auto before = m_fake.Counts();
        CScreenWnd wnd(m_decoder);
        wnd.Create(QSize(320, 240));
        wnd.PlayDocumentFile(Path("show.vls"), true);
        QTest::keyClick(&wnd, Qt::Key_Escape); // before any event could deliver the cookie
        QTRY_COMPARE(m_fake.Counts().nInhibits, before.nInhibits + 1);
        QTRY_VERIFY(m_fake.Counts().held.isEmpty());
        QVERIFY(!wnd.Inhibitor().HasCookie());
    }

    void aDamagedStartInhibitsNothing() {
        const auto before = m_fake.Counts();
        CMessageCapture messages;
        CScreenWnd wnd(m_decoder);
        wnd.Create(QSize(320, 240));
        wnd.PlayDocumentFile(Path("cut.vlm"), true);
        QCOMPARE(messages.m_requests.size(), std::size_t(1));
        QVERIFY(!wnd.Inhibitor().IsWanted());
        QTest::qWait(0);
        QCOMPARE(m_fake.Counts().nInhibits, before.nInhibits);
    }

    void withoutTheServiceTheShowPlaysWithoutAWord() {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kFakeBus);
        QVERIFY(bus.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver")));
        QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QStringLiteral("org.freedesktop.ScreenSaver")));
        CMessageCapture messages;
        CScreenWnd wnd(m_decoder);
        wnd.Create(QSize(320, 240));
        wnd.PlayDocumentFile(Path("show.vls"), true);
        QVERIFY(wnd.isVisible());
        QTest::qWait(100);
        QVERIFY(!wnd.Inhibitor().HasCookie());
        wnd.OnClick();
        QTest::keyClick(&wnd, Qt::Key_Escape);
        QVERIFY(!wnd.isVisible());
        QVERIFY(messages.m_requests.empty());
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    }

private:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir m_dir;
    QThread m_thread;
    CFakeScreenSaver m_fake;
};

QTEST_MAIN(CScreenSaverTest)
#include "ScreenSaverTest.moc"
