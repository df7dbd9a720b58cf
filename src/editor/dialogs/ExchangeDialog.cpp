#include "ExchangeDialog.h"

void CExchangeDialog::accept() {
    if (TakeFields()) {
        QDialog::accept();
    }
}

void CExchangeDialog::showEvent(QShowEvent* event) {
    if (!m_bFieldsShown) {
        m_bFieldsShown = true;
        ShowFields();
    }
    QDialog::showEvent(event);
}
