#include "FukiTextDialog.h"

#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

#include "DialogWidgets.h"

CFukiTextDialog::CFukiTextDialog(QWidget* parent) : CExchangeDialog(parent) {
    // Lines are not wrapped in this field: long lines scroll sideways with the cursor.
    m_pTextEdit = dlg::MakeTextEdit(this, 1014, 210, 69, false);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pTextEdit, 0, Qt::AlignTop);
    layout->addLayout(dlg::MakeOkCancelColumn(this));

    dlg::FinishDialog(this, QStringLiteral("セリフの編集..."),
                      QList<QWidget*>{m_pTextEdit, dlg::Button(this, 1), dlg::Button(this, 2)});
}

void CFukiTextDialog::ShowFields() {
    m_text.Show(m_pTextEdit, m_strText);
}

bool CFukiTextDialog::TakeFields() {
    return m_text.Read(this, m_pTextEdit, m_strText);
}
