#pragma once
// Data exchange of the editor's dialogs: integers shown in and read from one-line edits with
// the framework's two refusals, and dialogue text kept in code page 932.
#include <cstdint>
#include <string>

#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace dlg {

// Writes a value into its edit as a decimal integer.
void ShowInteger(QLineEdit* edit, std::int32_t value);

// Reads an edit as an integer (blanks around it, an optional sign). On refusal shows
// "Please enter an integer.", puts the focus on the edit with its text selected and returns
// false; value is then unchanged.
bool ReadInteger(QWidget* dialog, QLineEdit* edit, std::int32_t& value);
// The same, then the range check (bounds included) with "Please enter an integer between %1
// and %2.".
bool ReadInteger(QWidget* dialog, QLineEdit* edit, std::int32_t& value, std::int32_t min,
                 std::int32_t max);
// Only the range check of a value already read from the edit.
bool CheckRange(QWidget* dialog, QLineEdit* edit, std::int32_t value, std::int32_t min,
                std::int32_t max);

// One multi-line dialogue text: shown with its line breaks, stored back in code page 932 with
// carriage return + line feed breaks. A text the user did not change keeps its original bytes.
class CDialogText {
public:
    void Show(QPlainTextEdit* edit, const std::string& cp932);
    // The stored form of the edit's text. When some characters cannot be stored in code page
    // 932, names them to the user, selects the first of them in the edit and returns false.
    bool Read(QWidget* dialog, QPlainTextEdit* edit, std::string& cp932) const;

private:
    std::string m_strOriginal;
    QString m_strShown;
};

// Code page 932 text as the toolkit shows it, with "\n" line breaks.
QString TextFromCp932(const std::string& cp932);

} // namespace dlg
