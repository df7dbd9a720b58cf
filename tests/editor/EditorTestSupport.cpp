#include "EditorTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QtTest>

#include "AppDriver.h"
#include "TestFiles.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/CommandRouter.h"
#include "framework/MDIChildWnd.h"
#include "model/VelmoDoc.h"

namespace edtest {

using testsupport::Settle;

namespace {

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

CEditorFixture::CEditorFixture() : m_app(testsupport::StartApp()) {
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
    return testsupport::Route(*m_app, id);
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

QString CEditorFixture::PictureFile(const QString& name, int w, int h) {
    const QString path = m_dir.filePath(name);
    return testsupport::WritePicture(path, QSize(w, h), QColor(40, 160, 90)) ? path : QString();
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

} // namespace edtest
