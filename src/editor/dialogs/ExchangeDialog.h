#pragma once
// The base of the editor's dialogs: the caller sets the public members, the dialog shows them
// when it first appears, and OK takes the fields back into the members only when every field
// passes; a refusal keeps the dialog open and the members as they were.
#include <QDialog>

class CExchangeDialog : public QDialog {
    Q_OBJECT
public:
    explicit CExchangeDialog(QWidget* parent = nullptr) : QDialog(parent) {}

    void accept() override;

protected:
    // Members into the controls.
    virtual void ShowFields() = 0;
    // Controls into the members, in the order of the checks; false after a refusal.
    virtual bool TakeFields() = 0;

    void showEvent(QShowEvent* event) override;

private:
    bool m_bFieldsShown = false;
};
