#pragma once
// "ふきだしの詳細設定...": every property of one balloon, field by field (template 131).
#include "DialogExchange.h"
#include "ExchangeDialog.h"
#include "model/Fuki.h"

class CFukiPreview;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class CFukiPropDialog : public CExchangeDialog {
    Q_OBJECT
public:
    // The balloon's values. The caller copies the balloon in and, on OK, copies it back and
    // normalises it. The display position and text colour are carried through unchanged, and so
    // are a face and writing choices the user leaves alone (their bits kept as they were);
    // colours chosen here count only when OK is accepted.
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
    QLayout* MakeWritingRows();
    // The face list with the balloon's face chosen; a face not installed is listed as missing.
    void ShowFace(const std::string& face);
    // The balloon as the fields stand now, for the preview (fields that do not read keep the
    // balloon's values).
    CFuki FieldsAsBalloon() const;
    void UpdatePreview();
    // The order of the template's control table.
    QList<QWidget*> TabOrder() const;
    void ChooseColor(COLORREF& color);

    QComboBox* m_pTailSide;      // 1003
    QPlainTextEdit* m_pTextEdit; // 1014
    QComboBox* m_pFace;          // 1019, each item's data the stored face bytes
    QCheckBox* m_pVertical;      // 1020
    QCheckBox* m_pFit;           // 1021
    QCheckBox* m_pOutline;       // 1022
    QLineEdit* m_pOutlineWidth;  // 1023
    CFukiPreview* m_pPreview;
    QLabel* m_pFitNote;
    dlg::CDialogText m_text;
    COLORREF m_crFillChosen = 0;
    COLORREF m_crBorderChosen = 0;
    COLORREF m_crOutlineChosen = 0;
    bool m_bOutlineShown = false; // the balloon had an outline drawn when the dialog opened
};
