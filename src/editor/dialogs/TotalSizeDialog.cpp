#include "TotalSizeDialog.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DialogExchange.h"
#include "DialogWidgets.h"
#include "model/Panel.h"

CTotalSizeDialog::CTotalSizeDialog(QWidget* parent) : CExchangeDialog(parent) {
    m_pWidthEdit = dlg::MakeEdit(this, 1019, 40);
    m_pHeightEdit = dlg::MakeEdit(this, 1018, 40);

    // "横 ：" (full-width colon) beside the width above "縦 :" (ASCII colon) beside the height.
    auto* fields = new QGridLayout;
    fields->addWidget(dlg::MakeLabel(this, QStringLiteral("横 ："), u'W', m_pWidthEdit), 0, 0);
    fields->addWidget(m_pWidthEdit, 0, 1);
    fields->addWidget(dlg::MakeLabel(this, QStringLiteral("縦 :"), u'H', m_pHeightEdit), 1, 0);
    fields->addWidget(m_pHeightEdit, 1, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addLayout(dlg::MakeOkCancelColumn(this));

    dlg::FinishDialog(
        this, QStringLiteral("全体のサイズ..."),
        QList<QWidget*>{m_pWidthEdit, m_pHeightEdit, dlg::Button(this, 1), dlg::Button(this, 2)});
}

void CTotalSizeDialog::ShowFields() {
    dlg::ShowInteger(m_pWidthEdit, m_nWidth);
    dlg::ShowInteger(m_pHeightEdit, m_nHeight);
}

bool CTotalSizeDialog::TakeFields() {
    std::int32_t height = 0;
    std::int32_t width = 0;
    if (!dlg::ReadInteger(this, m_pHeightEdit, height, kMinTotalHeight, kMaxTotalSize) ||
        !dlg::ReadInteger(this, m_pWidthEdit, width, kMinTotalWidth, kMaxTotalSize)) {
        return false;
    }
    m_nHeight = height;
    m_nWidth = width;
    return true;
}
