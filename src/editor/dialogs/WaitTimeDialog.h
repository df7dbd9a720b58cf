#pragma once
// "待ち時間の設定": one wait in tenths of a second, any integer (template 149).
#include <cstdint>

#include "ExchangeDialog.h"

class QLineEdit;

class CWaitTimeDialog : public CExchangeDialog {
    Q_OBJECT
public:
    std::int32_t m_nWaitTime = 0;

    explicit CWaitTimeDialog(QWidget* parent = nullptr);

protected:
    void ShowFields() override;
    bool TakeFields() override;

private:
    QLineEdit* m_pWaitEdit; // 1018
};
