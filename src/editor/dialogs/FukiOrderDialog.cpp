#include "FukiOrderDialog.h"

#include <algorithm>

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "DialogExchange.h"
#include "DialogWidgets.h"
#include "framework/MessageBox.h"
#include "model/IntegerField.h"
#include "model/PanelLayers.h"

namespace {
constexpr int kFirstBalloonRow = 2; // rows 0 and 1 are the background and the picture
} // namespace

CFukiOrderDialog::CFukiOrderDialog(QWidget* parent) : CExchangeDialog(parent) {
    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("1023"));
    m_pList->setAccessibleName(QStringLiteral("表示順"));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pList->setFixedSize(dlg::DluX(m_pList, 216), dlg::DluY(m_pList, 115));
    QPushButton* up = dlg::MakeButton(this, 1024, QStringLiteral("上へ"));
    QPushButton* down = dlg::MakeButton(this, 1022, QStringLiteral("下へ"));
    up->setFixedWidth(dlg::DluX(this, 24));
    down->setFixedWidth(dlg::DluX(this, 24));
    m_pWaitEdit = dlg::MakeEdit(this, 1018, 40);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addStretch(2);
    auto* orderRow = new QHBoxLayout;
    orderRow->addWidget(m_pList);
    orderRow->addLayout(buttons);
    auto* order = new QGroupBox(QStringLiteral("表示の順序"), this);
    order->setLayout(orderRow);

    auto* waitRow = new QHBoxLayout;
    waitRow->addWidget(m_pWaitEdit);
    waitRow->addWidget(dlg::MakeLabel(this, QStringLiteral("ｘ0.1秒"), u'W', m_pWaitEdit));
    auto* wait = new QGroupBox(QStringLiteral("表示後の待ち時間"), this);
    wait->setLayout(waitRow);

    // The wait group sits at the bottom, under the OK / "キャンセル" column.
    auto* side = new QVBoxLayout;
    side->addLayout(dlg::MakeOkCancelColumn(this));
    side->addWidget(wait);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(order);
    layout->addLayout(side);

    connect(m_pList, &QListWidget::currentRowChanged, this, [this] { LoadWait(); });
    connect(up, &QPushButton::clicked, this, [this] { Move(ORDER_BACKWARD); });
    connect(down, &QPushButton::clicked, this, [this] { Move(ORDER_FORWARD); });
    // Every change the user makes to the text, typing included, is stored at once.
    connect(m_pWaitEdit, &QLineEdit::textEdited, this, [this] { StoreWait(); });

    dlg::FinishDialog(this, QStringLiteral("ふきだしの順序の詳細設定..."),
                      QList<QWidget*>{m_pList, up, down, m_pWaitEdit, dlg::Button(this, 1),
                                      dlg::Button(this, 2)});
}

void CFukiOrderDialog::FillList() {
    // Refilling is not a selection by the user: the wait edit is not reloaded.
    const QSignalBlocker blocker(m_pList);
    m_pList->clear();
    m_rowSlots = FukiInDisplayOrder(m_panel);
    m_pList->addItem(QStringLiteral("背景"));
    m_pList->addItem(QStringLiteral("画像"));
    for (int slot : m_rowSlots) {
        // One line per row: the text's line breaks are shown as spaces.
        QString text = dlg::TextFromCp932(m_panel.m_fuki[static_cast<std::size_t>(slot)].m_strText);
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        m_pList->addItem(text);
    }
}

std::int32_t* CFukiOrderDialog::RowWait(int row) {
    // The rows are the panel's layers in display order.
    const std::vector<CLayerRef> layers = PanelLayers(m_panel);
    if (row < 0 || row >= static_cast<int>(layers.size())) {
        return nullptr;
    }
    return LayerWaitField(m_panel, layers[static_cast<std::size_t>(row)]);
}

void CFukiOrderDialog::LoadWait() {
    if (const std::int32_t* wait = RowWait(m_pList->currentRow())) {
        m_nWait = *wait;
        dlg::ShowInteger(m_pWaitEdit, m_nWait);
    }
}

void CFukiOrderDialog::StoreWait() {
    std::int32_t value = 0;
    if (ParseDialogInteger(m_pWaitEdit->text().toStdString(), value)) {
        m_nWait = value;
    } else {
        // Shown at once, while the user is still typing; the row keeps the last good value.
        fw::FrameworkMessage(this, QString::fromLatin1(kMsgEnterInteger));
    }
    if (std::int32_t* wait = RowWait(m_pList->currentRow())) {
        *wait = m_nWait;
    }
}

void CFukiOrderDialog::Move(int how) {
    const int index = m_pList->currentRow() - kFirstBalloonRow;
    if (index < 0 || index >= static_cast<int>(m_rowSlots.size())) {
        return; // the background, the picture, or nothing is selected
    }
    const int slot = m_rowSlots[index];
    m_panel.ChangeFukiOrder(slot, how);
    FillList();
    // The selection follows the moved balloon; the wait edit still shows its wait.
    const auto at = std::find(m_rowSlots.begin(), m_rowSlots.end(), slot);
    const QSignalBlocker blocker(m_pList);
    m_pList->setCurrentRow(kFirstBalloonRow + static_cast<int>(at - m_rowSlots.begin()));
}

void CFukiOrderDialog::ShowFields() {
    FillList();
    {
        const QSignalBlocker blocker(m_pList);
        m_pList->setCurrentRow(0);
    }
    LoadWait();
}

bool CFukiOrderDialog::TakeFields() {
    return dlg::ReadInteger(this, m_pWaitEdit, m_nWait);
}
