#pragma once
// "ふきだしの順序の詳細設定...": the layers in the model's display order ("背景", "画像", then
// the balloons from back to front), moving a balloon one step, and the wait after each layer
// (template 140).
#include <cstdint>
#include <vector>

#include "ExchangeDialog.h"
#include "model/Panel.h"

class QLineEdit;
class QListWidget;

class CFukiOrderDialog : public CExchangeDialog {
    Q_OBJECT
public:
    // A working copy of the panel: every move and every wait typed is made here at once; on OK
    // the caller hands it to the document, which takes its positions and waits as one step.
    CPanel m_panel;
    // The wait shown in edit 1018, in tenths of a second.
    std::int32_t m_nWait = 0;

    explicit CFukiOrderDialog(QWidget* parent = nullptr);

protected:
    void ShowFields() override;
    // Reads the wait edit once more.
    bool TakeFields() override;

private:
    void FillList();
    // The wait of a list row's layer, or nullptr for no row.
    std::int32_t* RowWait(int row);
    void LoadWait();
    void StoreWait();
    void Move(int how);

    QListWidget* m_pList;        // 1023
    QLineEdit* m_pWaitEdit;      // 1018
    std::vector<int> m_rowSlots; // the balloon slot of each row from row 2 on
};
