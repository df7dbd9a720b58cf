#include "DialogExchange.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "framework/MessageBox.h"
#include "model/IntegerField.h"
#include "model/TextCodec.h"

namespace dlg {

namespace {

void Refuse(QWidget* dialog, QLineEdit* edit, const std::string& message) {
    fw::FrameworkMessage(dialog, QString::fromStdString(message));
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

// "😀 (U+1F600)": the character and its code point, so that invisible ones can be found too.
QString NameCharacter(const std::string& utf8) {
    const QString character = QString::fromStdString(utf8);
    const QList<uint> codes = character.toUcs4();
    const uint code = codes.isEmpty() ? 0 : codes.front();
    return QStringLiteral("「%1」 (U+%2)")
        .arg(character)
        .arg(QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

} // namespace

void ShowInteger(QLineEdit* edit, std::int32_t value) {
    edit->setText(QString::number(value));
}

bool ReadInteger(QWidget* dialog, QLineEdit* edit, std::int32_t& value) {
    std::int32_t read = 0;
    if (!ParseDialogInteger(edit->text().toStdString(), read)) {
        Refuse(dialog, edit, kMsgEnterInteger);
        return false;
    }
    value = read;
    return true;
}

bool ReadInteger(QWidget* dialog, QLineEdit* edit, std::int32_t& value, std::int32_t min,
                 std::int32_t max) {
    std::int32_t read = 0;
    if (!ReadInteger(dialog, edit, read) || !CheckRange(dialog, edit, read, min, max)) {
        return false;
    }
    value = read;
    return true;
}

bool CheckRange(QWidget* dialog, QLineEdit* edit, std::int32_t value, std::int32_t min,
                std::int32_t max) {
    if (value < min || value > max) {
        Refuse(dialog, edit, EnterIntegerBetweenMessage(min, max));
        return false;
    }
    return true;
}

QString TextFromCp932(const std::string& cp932) {
    QString text = QString::fromStdString(Cp932ToUtf8(cp932));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

void CDialogText::Show(QPlainTextEdit* edit, const std::string& cp932) {
    m_strOriginal = cp932;
    edit->setPlainText(TextFromCp932(cp932));
    // What the edit gives back for the text as shown (it turns a lone carriage return into a
    // line break, for example), so that an untouched text is recognised.
    m_strShown = edit->toPlainText();
}

bool CDialogText::Read(QWidget* dialog, QPlainTextEdit* edit, std::string& cp932) const {
    QString text = edit->toPlainText();
    if (text == m_strShown) {
        cp932 = m_strOriginal;
        return true;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    CodecResult result = Utf8ToCp932(text.toStdString());
    if (result.ok()) {
        cp932 = std::move(result.text);
        return true;
    }
    QStringList names;
    for (const std::string& bad : result.unconvertible) {
        names << NameCharacter(bad);
    }
    fw::ProgramMessage(
        dialog,
        QStringLiteral("次の文字は保存できません。別の文字に置き換えてください。\n") +
            names.join(QStringLiteral("\n")),
        QStringLiteral("エラー"));
    const QString first = QString::fromStdString(result.unconvertible.front());
    const int at = edit->toPlainText().indexOf(first);
    QTextCursor cursor = edit->textCursor();
    if (at >= 0) {
        cursor.setPosition(at);
        cursor.setPosition(at + static_cast<int>(first.size()), QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
    }
    edit->setFocus(Qt::OtherFocusReason);
    return false;
}

} // namespace dlg
