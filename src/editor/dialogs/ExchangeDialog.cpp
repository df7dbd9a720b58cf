#include "ExchangeDialog.h"

#include "AccessibleNames.h"

void CExchangeDialog::accept() {
    if (TakeFields()) {
        QDialog::accept();
    }
}

void CExchangeDialog::showEvent(QShowEvent* event) {
    if (!m_bFieldsShown) {
        m_bFieldsShown = true;
        ShowFields();
        dlg::NameFieldsFromLabels(this);
    }
    QDialog::showEvent(event);
}
