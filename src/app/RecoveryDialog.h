#pragma once
// "前回、保存されていない変更があります": the recovery copies left by a copy of the program that
// ended without saving, one row each with 復元 (restore) and 破棄 (discard). A copy that cannot
// be read is listed as damaged and can only be discarded. Rows not decided stay for the next
// start.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/RecoveryFile.h"

class QLabel;
class QPushButton;

class CRecoveryDialog : public QDialog {
    Q_OBJECT
public:
    struct SEntry {
        std::string strFile; // the recovery file
        bool bDamaged = false;
        SRecoveryIndex index;
        std::vector<std::uint8_t> bytes;
    };
    // Restores an entry (opens its document); false when its bytes do not load.
    using RestoreFunction = std::function<bool(const SEntry&)>;

    // Reads each recovery file; unreadable ones become damaged entries.
    static std::vector<SEntry> ReadEntries(const std::vector<std::string>& files);

    CRecoveryDialog(std::vector<SEntry> entries, RestoreFunction restore,
                    QWidget* parent = nullptr);

    // The buttons of row i (for tests and for the keyboard order).
    QPushButton* RestoreButton(int row) const;
    QPushButton* DiscardButton(int row) const;
    int RowCount() const { return static_cast<int>(m_rows.size()); }

private:
    struct SRow {
        QLabel* label = nullptr;
        QPushButton* restore = nullptr;
        QPushButton* discard = nullptr;
    };
    void Restore(int row);
    void Discard(int row);
    void Decided(int row, const QString& outcome);
    static QString Describe(const SEntry& entry);

    std::vector<SEntry> m_entries;
    std::vector<SRow> m_rows;
    RestoreFunction m_restore;
};
