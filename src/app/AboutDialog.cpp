#include "AboutDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Resources.h"

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("100"));
    setWindowTitle(res::kAboutCaption);

    // The icon at the left, the version line beside it at the top, OK at the top right.
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/icons/velmo-32.png")));
    icon->setAlignment(Qt::AlignTop);
    auto* version = new QLabel(res::kVersionText, this);
    version->setObjectName(QStringLiteral("65535"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* iconColumn = new QVBoxLayout;
    iconColumn->addSpacing(8);
    iconColumn->addWidget(icon);
    iconColumn->addStretch();
    auto* textColumn = new QVBoxLayout;
    textColumn->addWidget(version);
    textColumn->addStretch();
    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(ok);
    buttonColumn->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(iconColumn);
    layout->addSpacing(8);
    layout->addLayout(textColumn, 1);
    layout->addLayout(buttonColumn);
    setFixedSize(sizeHint().expandedTo(QSize(352, 82)));
}
