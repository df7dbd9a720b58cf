#include "EditorTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QtTest>

#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/CommandRouter.h"
#include "framework/MDIChildWnd.h"
#include "model/VelmoDoc.h"

namespace edtest {

namespace {

void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Calls find every time the event loop turns while trigger runs, until find reports success.
bool WhileRunning(const std::function<void()>& trigger, const std::function<bool()>& find) {
    bool found = false;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!found && find()) {
            found = true;
            timer.stop();
        }
    });
    timer.start();
    trigger();
    timer.stop();
    return found;
}

void Describe(const QMenu* menu, QStringList& items) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            items << QStringLiteral("-");
        } else if (action->menu()) {
            items << QStringLiteral(">") + action->text();
            Describe(action->menu(), items);
            items << QStringLiteral("<");
        } else {
            items << action->text() + (action->isEnabled() ? QString() : QStringLiteral(" [off]"));
        }
    }
}

} // namespace

QString CScriptedPrompter::ChooseFile(QWidget*, const fw::FileDialogRequest& request) {
    m_fileRequests.push_back(request);
    if (m_files.empty()) {
        return {};
    }
    QString answer = m_files.front();
    m_files.pop_front();
    return answer;
}

bool CScriptedPrompter::ChooseColor(QWidget*, COLORREF& color) {
    m_colorsOffered.push_back(color);
    if (m_colors.empty()) {
        return false;
    }
    const std::optional<COLORREF> answer = m_colors.front();
    m_colors.pop_front();
    if (answer) {
        color = *answer;
    }
    return answer.has_value();
}

CEditorFixture::CEditorFixture() {
    auto prompter = std::make_unique<CScriptedPrompter>();
    m_pPrompter = prompter.get();
    fw::SetPrompter(std::move(prompter));
    fw::SetMessageHandler([this](const fw::MessageRequest& request) {
        m_messages.push_back(request);
        return fw::EMsgResult::Ok;
    });
    m_app = std::make_unique<CVelmoApp>();
    CVelmoApp::SStartup startup;
    startup.bServeShellRequests = false;
    m_app->InitInstance(startup);
    m_app->MainFrame()->resize(1400, 1100);
    Settle();
    // A client area of 900 x 700 holds a 400 x 300 panel at zoom 200.
    fw::CMDIChildWnd* frame = m_app->MainFrame()->ActiveFrame();
    frame->showNormal();
    frame->resize(frame->size() + QSize(900, 700) - Viewport()->size());
    Settle();
    View().activateWindow();
    View().setFocus();
}

CEditorFixture::~CEditorFixture() {
    m_app->DocManager().CloseAllDocuments();
    m_app.reset();
    Settle();
    fw::SetMessageHandler({});
    fw::SetPrompter(nullptr);
}

CVelmoView& CEditorFixture::View() {
    return *dynamic_cast<CVelmoView*>(m_app->MainFrame()->ActiveFrame()->GetView());
}

CVelmoDoc& CEditorFixture::Doc() {
    return *View().GetDocument();
}

QWidget* CEditorFixture::Viewport() {
    return View().viewport();
}

bool CEditorFixture::Route(int id) {
    return m_app->MainFrame()->Router().Route(id);
}

bool CEditorFixture::IsEnabled(int id) {
    return m_app->MainFrame()->Router().IsEnabled(id);
}

int CEditorFixture::Steps() {
    return Doc().m_history.Count();
}

void CEditorFixture::ClickAt(QPoint point) {
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, point);
}

void CEditorFixture::Drag(QPoint from, QPoint to) {
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(Viewport(), to);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
}

bool WithDialog(const std::function<void()>& trigger, const std::function<void(QDialog&)>& action) {
    return WhileRunning(trigger, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            return false;
        }
        action(*dialog);
        return true;
    });
}

void TypeInto(QDialog& dialog, int id, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(QString::number(id));
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QStringList WithContextMenu(const std::function<void()>& trigger, const QString& choice) {
    QStringList items;
    WhileRunning(trigger, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            return false;
        }
        items << QStringLiteral("title:") + menu->title();
        Describe(menu, items);
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (!choice.isEmpty() && action->text() == choice) {
                chosen = action;
            }
        }
        if (chosen) {
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::keyClick(menu, Qt::Key_Escape);
        }
        return true;
    });
    return items;
}

QString WritePicture(const QTemporaryDir& dir, const QString& name, int w, int h,
                     const char* format) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(40, 160, 90));
    const QString path = dir.filePath(name);
    image.save(path, format);
    return path;
}

} // namespace edtest
