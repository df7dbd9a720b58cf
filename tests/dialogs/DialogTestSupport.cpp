#include "DialogTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
QStringList& Unexpected() {
    static QStringList messages;
    return messages;
}
} // namespace

void InstallUnexpectedMessageGuard() {
    fw::SetMessageHandler([](const fw::MessageRequest& request) {
        Unexpected() << request.text;
        return fw::EMsgResult::Ok;
    });
}

QStringList TakeUnexpectedMessages() {
    QStringList messages;
    messages.swap(Unexpected());
    return messages;
}

CMessageLog::CMessageLog() {
    fw::SetMessageHandler([this](const fw::MessageRequest& request) {
        m_requests.push_back(request);
        return fw::EMsgResult::Ok;
    });
}

CMessageLog::~CMessageLog() {
    fw::SetMessageHandler({});
}

QStringList CMessageLog::Texts() const {
    QStringList texts;
    for (const fw::MessageRequest& request : m_requests) {
        texts << request.text;
    }
    return texts;
}

bool CScriptedPrompter::ChooseColor(QWidget*, COLORREF& color) {
    m_offered.push_back(color);
    if (m_answers.empty()) {
        return false;
    }
    const std::optional<COLORREF> answer = m_answers.front();
    m_answers.pop_front();
    if (answer) {
        color = *answer;
    }
    return answer.has_value();
}

CScriptedPrompter* InstallScriptedPrompter() {
    auto prompter = std::make_unique<CScriptedPrompter>();
    CScriptedPrompter* raw = prompter.get();
    fw::SetPrompter(std::move(prompter));
    return raw;
}

QLineEdit* EditOf(const QWidget* dialog, int id) {
    return dialog->findChild<QLineEdit*>(QString::number(id));
}

QPlainTextEdit* TextEditOf(const QWidget* dialog, int id) {
    return dialog->findChild<QPlainTextEdit*>(QString::number(id));
}

bool ShowActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

void TypeKeys(QWidget* widget, const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                            Qt::NoModifier);
    }
}

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        TypeKeys(edit, text);
    }
}

void Click(const QWidget* dialog, int id) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(id)), Qt::LeftButton);
}

bool IsRefusedField(QLineEdit* edit) {
    return QApplication::focusWidget() == edit && edit->selectedText() == edit->text();
}

QStringList TabChain(QWidget* first, int count) {
    QStringList names;
    first->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < count; ++i) {
        QWidget* focused = QApplication::focusWidget();
        if (focused == nullptr) {
            break;
        }
        names << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    return names;
}
