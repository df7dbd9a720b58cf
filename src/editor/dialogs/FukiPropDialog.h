#pragma once
// "ふきだしの詳細設定...": every property of one balloon, field by field (template 131).
#include "DialogExchange.h"
#include "ExchangeDialog.h"
#include "model/Fuki.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

class CFukiPropDialog : public CExchangeDialog {
    Q_OBJECT
public:
    // The balloon's values. The caller copies the balloon in and, on OK, copies it back and
    // normalises it. The display position, font face, text colour and the reserved words are
    // carried through unchanged; colours chosen here count only when OK is accepted.
    CFuki m_fuki;

    explicit CFukiPropDialog(QWidget* parent = nullptr);

protected:
    void ShowFields() override;
    bool TakeFields() override;

private:
    QLineEdit* Edit(int id) const;
    QGroupBox* MakeBalloonGroup();
    QGroupBox* MakeTextGroup();
    QGroupBox* MakeAutoShowGroup();
    // The order of the template's control table.
    QList<QWidget*> TabOrder() const;
    void ChooseColor(COLORREF& color);

    QComboBox* m_pTailSide;      // 1003
    QPlainTextEdit* m_pTextEdit; // 1014
    dlg::CDialogText m_text;
    COLORREF m_crFillChosen = 0;
    COLORREF m_crBorderChosen = 0;
};
