#pragma once
// "セリフの編集...": the dialogue text of one balloon in a larger field (template 141).
#include <string>

#include "DialogExchange.h"
#include "ExchangeDialog.h"

class QPlainTextEdit;

class CFukiTextDialog : public CExchangeDialog {
    Q_OBJECT
public:
    // The text in code page 932, line breaks as carriage return + line feed.
    std::string m_strText;

    explicit CFukiTextDialog(QWidget* parent = nullptr);

protected:
    void ShowFields() override;
    // Any text is taken, empty included, unless it holds a character code page 932 lacks.
    bool TakeFields() override;

private:
    QPlainTextEdit* m_pTextEdit; // 1014
    dlg::CDialogText m_text;
};
