#include "WaitTimeDialog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "DialogExchange.h"
#include <QPushButton>

#include "DialogWidgets.h"

CWaitTimeDialog::CWaitTimeDialog(QWidget* parent) : CExchangeDialog(parent) {
    m_pWaitEdit = dlg::MakeEdit(this, 1018, 36);

    auto* field = new QHBoxLayout;
    field->addWidget(m_pWaitEdit);
    // The unit is the field's only label, so it carries the field's mnemonic.
    field->addWidget(dlg::MakeLabel(this, QStringLiteral("ｘ0.1秒"), u'W', m_pWaitEdit));

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(field);
    layout->addStretch(1);
    layout->addLayout(dlg::MakeOkCancelColumn(this));

    // The template lists the buttons before the edit, so the tab order starts at "OK".
    dlg::FinishDialog(this, QStringLiteral("待ち時間の設定"),
                      QList<QWidget*>{dlg::Button(this, 1), dlg::Button(this, 2), m_pWaitEdit});
}

void CWaitTimeDialog::ShowFields() {
    dlg::ShowInteger(m_pWaitEdit, m_nWaitTime);
}

bool CWaitTimeDialog::TakeFields() {
    return dlg::ReadInteger(this, m_pWaitEdit, m_nWaitTime);
}
