#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace fw {

namespace {

MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon ToQtIcon(EMsgIcon icon) {
    switch (icon) {
    case EMsgIcon::Exclamation:
        return QMessageBox::Warning;
    case EMsgIcon::Stop:
        return QMessageBox::Critical;
    case EMsgIcon::Question:
        return QMessageBox::Question;
    case EMsgIcon::Information:
        return QMessageBox::Information;
    case EMsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

EMsgResult RunMessageBox(QWidget* parent, const MessageRequest& request) {
    QMessageBox box(ToQtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    parent ? parent : QApplication::activeWindow());
    if (request.buttons == EMsgButtons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return EMsgResult::Yes;
    case QMessageBox::No:
        return EMsgResult::No;
    case QMessageBox::Cancel:
        return EMsgResult::Cancel;
    default:
        // Closing an OK box any other way still means OK; a yes/no/cancel box closed from its
        // title bar means cancel.
        return request.buttons == EMsgButtons::YesNoCancel ? EMsgResult::Cancel : EMsgResult::Ok;
    }
}

} // namespace

EMsgResult ShowMessage(QWidget* parent, const MessageRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    return RunMessageBox(parent, request);
}

void FrameworkMessage(QWidget* parent, const QString& text, EMsgIcon icon) {
    MessageRequest request;
    request.text = text;
    request.caption = QStringLiteral("Velmo");
    request.icon = icon;
    ShowMessage(parent, request);
}

void ProgramMessage(QWidget* parent, const QString& text, const QString& caption) {
    MessageRequest request;
    request.text = text;
    request.caption = caption;
    ShowMessage(parent, request);
}

void SetMessageHandler(MessageHandler handler) {
    Handler() = std::move(handler);
}

} // namespace fw
