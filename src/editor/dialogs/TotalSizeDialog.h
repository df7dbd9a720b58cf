#pragma once
// "全体のサイズ...": the panel's overall height and width (template 134).
#include <cstdint>

#include "ExchangeDialog.h"

class QLineEdit;

class CTotalSizeDialog : public CExchangeDialog {
    Q_OBJECT
public:
    std::int32_t m_nHeight = 0; // the panel's overall bottom edge, 100..2000
    std::int32_t m_nWidth = 0;  // the panel's overall right edge, 10..2000

    explicit CTotalSizeDialog(QWidget* parent = nullptr);

protected:
    void ShowFields() override;
    // The height first, then the width.
    bool TakeFields() override;

private:
    QLineEdit* m_pWidthEdit;  // 1019
    QLineEdit* m_pHeightEdit; // 1018
};
