#pragma once
// The About box "バージョン情報 ベルモエディタ": the program icon, the version line and OK.
#include <QDialog>

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};
