#pragma once
// "表示率の変更": the view's zoom in percent, 10..1000 (template 132).
#include <cstdint>

#include "ExchangeDialog.h"

class QLineEdit;

class CZoomDialog : public CExchangeDialog {
    Q_OBJECT
public:
    std::int32_t m_nRate = 0;

    explicit CZoomDialog(QWidget* parent = nullptr);

protected:
    void ShowFields() override;
    bool TakeFields() override;

private:
    QLineEdit* m_pRateEdit; // 1017
};
