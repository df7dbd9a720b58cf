#include "ZoomDialog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "DialogExchange.h"
#include <QPushButton>

#include "DialogWidgets.h"
#include "model/LayerItem.h"

CZoomDialog::CZoomDialog(QWidget* parent) : CExchangeDialog(parent) {
    m_pRateEdit = dlg::MakeEdit(this, 1017, 40);

    auto* field = new QHBoxLayout;
    field->addWidget(dlg::MakeLabel(this, QStringLiteral("表示率 :"), u'Z', m_pRateEdit));
    field->addWidget(m_pRateEdit);
    field->addWidget(dlg::MakeLabel(this, QStringLiteral("%")));

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(field);
    layout->addStretch(1);
    layout->addLayout(dlg::MakeOkCancelColumn(this));

    // The template lists the buttons before the edit, so the tab order starts at "OK".
    dlg::FinishDialog(this, QStringLiteral("表示率の変更"),
                      QList<QWidget*>{dlg::Button(this, 1), dlg::Button(this, 2), m_pRateEdit});
}

void CZoomDialog::ShowFields() {
    dlg::ShowInteger(m_pRateEdit, m_nRate);
}

bool CZoomDialog::TakeFields() {
    return dlg::ReadInteger(this, m_pRateEdit, m_nRate, kMinZoom, kMaxZoom);
}
