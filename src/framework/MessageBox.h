#pragma once
// Every message box of the program goes through here, so that tests can capture and answer
// them. The program's own messages have an OK button and no icon ("保存", "エラー"); the
// framework's messages are English, captioned "Velmo", with the exclamation icon.
#include <functional>

#include <QString>

class QWidget;

namespace fw {

enum class EMsgIcon { None, Exclamation, Stop, Question, Information };
enum class EMsgButtons { Ok, YesNoCancel };
enum class EMsgResult { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString text;
    QString caption;
    EMsgIcon icon = EMsgIcon::None;
    EMsgButtons buttons = EMsgButtons::Ok;
};

EMsgResult ShowMessage(QWidget* parent, const MessageRequest& request);

// The framework's message: caption "Velmo", exclamation icon (or the error icon, Stop, for the
// errors the framework reports so), OK.
void FrameworkMessage(QWidget* parent, const QString& text, EMsgIcon icon = EMsgIcon::Exclamation);
// The program's own message: OK, no icon, the given caption.
void ProgramMessage(QWidget* parent, const QString& text, const QString& caption);

// Tests install a handler that records each request and answers it; an empty handler restores
// real message boxes.
using MessageHandler = std::function<EMsgResult(const MessageRequest&)>;
void SetMessageHandler(MessageHandler handler);

} // namespace fw
