#include "ExportSizeDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>

#include "export/PanelExport.h"

CExportSizeDialog::CExportSizeDialog(QWidget* parent, int zoom, int panelWidth)
    : QDialog(parent), m_pZoomChoice(new QRadioButton(QStringLiteral("倍率(&Z)"), this)),
      m_pWidthChoice(new QRadioButton(QStringLiteral("幅(&W)"), this)), m_pZoom(new QSpinBox(this)),
      m_pWidth(new QSpinBox(this)) {
    setWindowTitle(QStringLiteral("エクスポートの大きさ"));
    m_pZoom->setObjectName(QStringLiteral("zoom"));
    m_pZoom->setRange(exporting::kMinZoom, exporting::kMaxZoom);
    m_pZoom->setSuffix(QStringLiteral(" %"));
    m_pZoom->setValue(std::clamp(zoom, exporting::kMinZoom, exporting::kMaxZoom));
    m_pWidth->setObjectName(QStringLiteral("width"));
    m_pWidth->setRange(1, 16383);
    m_pWidth->setSuffix(QStringLiteral(" px"));
    m_pWidth->setValue(std::clamp(panelWidth, 1, 16383));
    m_pZoomChoice->setObjectName(QStringLiteral("byZoom"));
    m_pWidthChoice->setObjectName(QStringLiteral("byWidth"));
    m_pZoomChoice->setChecked(true);
    m_pWidth->setEnabled(false);
    connect(m_pZoomChoice, &QRadioButton::toggled, m_pZoom, &QWidget::setEnabled);
    connect(m_pWidthChoice, &QRadioButton::toggled, m_pWidth, &QWidget::setEnabled);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_pZoomChoice, 0, 0);
    layout->addWidget(m_pZoom, 0, 1);
    layout->addWidget(m_pWidthChoice, 1, 0);
    layout->addWidget(m_pWidth, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
}

int CExportSizeDialog::Zoom() const {
    return m_pZoomChoice->isChecked() ? m_pZoom->value() : 0;
}

int CExportSizeDialog::Width() const {
    return m_pWidthChoice->isChecked() ? m_pWidth->value() : 0;
}
