#include "RecoveryDialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "model/Document.h"
#include "model/FileSystem.h"

namespace {

const QString kHeading = QStringLiteral("前回、保存されていない変更があります");
const QString kRestore = QStringLiteral("復元");
const QString kDiscard = QStringLiteral("破棄");

} // namespace

std::vector<CRecoveryDialog::SEntry>
CRecoveryDialog::ReadEntries(const std::vector<std::string>& files) {
    std::vector<SEntry> entries;
    for (const std::string& file : files) {
        SEntry entry;
        entry.strFile = file;
        std::vector<std::uint8_t> raw;
        int err = 0;
        entry.bDamaged = !ReadWholeFile(file, raw, err, kMaxDocumentFileBytes + 65536) ||
                         !DecodeRecoveryFile(raw, entry.index, entry.bytes);
        entries.push_back(std::move(entry));
    }
    return entries;
}

CRecoveryDialog::CRecoveryDialog(std::vector<SEntry> entries, RestoreFunction restore,
                                 QWidget* parent)
    : QDialog(parent), m_entries(std::move(entries)), m_restore(std::move(restore)) {
    setWindowTitle(QStringLiteral("ベルモエディタ"));
    setAccessibleName(kHeading);
    auto* heading = new QLabel(kHeading, this);
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const int row = static_cast<int>(i);
        SRow widgets;
        widgets.label = new QLabel(Describe(m_entries[i]), this);
        widgets.label->setTextFormat(Qt::PlainText);
        widgets.restore = new QPushButton(kRestore, this);
        widgets.discard = new QPushButton(kDiscard, this);
        const QString name = widgets.label->text().section(QLatin1Char('\n'), 0, 0);
        widgets.restore->setAccessibleName(kRestore + QLatin1Char(' ') + name);
        widgets.discard->setAccessibleName(kDiscard + QLatin1Char(' ') + name);
        widgets.restore->setEnabled(!m_entries[i].bDamaged);
        connect(widgets.restore, &QPushButton::clicked, this, [this, row] { Restore(row); });
        connect(widgets.discard, &QPushButton::clicked, this, [this, row] { Discard(row); });
        grid->addWidget(widgets.label, row, 0);
        grid->addWidget(widgets.restore, row, 1);
        grid->addWidget(widgets.discard, row, 2);
        m_rows.push_back(widgets);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    // The first row's first usable button has the focus.
    if (!m_rows.empty()) {
        (m_rows.front().restore->isEnabled() ? m_rows.front().restore : m_rows.front().discard)
            ->setFocus();
    }
}

QString CRecoveryDialog::Describe(const SEntry& entry) {
    if (entry.bDamaged) {
        return QString::fromStdString(FileNameOf(entry.strFile)) +
               QStringLiteral("\n壊れているため復元できません");
    }
    const QString title = QString::fromStdString(entry.index.strTitle);
    const QString path = QString::fromStdString(entry.index.strPath);
    const QString when = QDateTime::fromSecsSinceEpoch(entry.index.nTime)
                             .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    return title + QLatin1Char('\n') + (path.isEmpty() ? QString() : path + QLatin1Char('\n')) +
           when;
}

QPushButton* CRecoveryDialog::RestoreButton(int row) const {
    return row >= 0 && row < RowCount() ? m_rows[static_cast<std::size_t>(row)].restore : nullptr;
}

QPushButton* CRecoveryDialog::DiscardButton(int row) const {
    return row >= 0 && row < RowCount() ? m_rows[static_cast<std::size_t>(row)].discard : nullptr;
}

void CRecoveryDialog::Restore(int row) {
    SEntry& entry = m_entries[static_cast<std::size_t>(row)];
    if (entry.bDamaged) {
        return;
    }
    if (!m_restore || !m_restore(entry)) {
        // The copy's bytes do not load: it is damaged after all and can only be discarded.
        entry.bDamaged = true;
        m_rows[static_cast<std::size_t>(row)].label->setText(Describe(entry));
        m_rows[static_cast<std::size_t>(row)].restore->setEnabled(false);
        m_rows[static_cast<std::size_t>(row)].discard->setFocus();
        return;
    }
    Decided(row, QStringLiteral("復元しました"));
}

void CRecoveryDialog::Discard(int row) {
    std::remove(m_entries[static_cast<std::size_t>(row)].strFile.c_str());
    Decided(row, QStringLiteral("破棄しました"));
}

void CRecoveryDialog::Decided(int row, const QString& outcome) {
    SRow& widgets = m_rows[static_cast<std::size_t>(row)];
    widgets.label->setText(widgets.label->text() + QLatin1Char('\n') + outcome);
    widgets.restore->setEnabled(false);
    widgets.discard->setEnabled(false);
    // The next row still to decide takes the focus; when none is left the dialog closes.
    for (const SRow& next : m_rows) {
        if (next.discard->isEnabled()) {
            (next.restore->isEnabled() ? next.restore : next.discard)->setFocus();
            return;
        }
    }
    accept();
}
