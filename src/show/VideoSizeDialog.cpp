#include "VideoSizeDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

#include "export/ShowExport.h"

namespace {

QSpinBox* MakeSpin(QWidget* parent, const QString& name, int low, int high, int value,
                   const QString& suffix) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setValue(value);
    spin->setSuffix(suffix);
    return spin;
}

} // namespace

CVideoSizeDialog::CVideoSizeDialog(QWidget* parent)
    : QDialog(parent), m_pWidth(MakeSpin(this, QStringLiteral("width"), kMinSide, kMaxSide,
                                         exporting::kDefaultShowWidth, QStringLiteral(" px"))),
      m_pHeight(MakeSpin(this, QStringLiteral("height"), kMinSide, kMaxSide,
                         exporting::kDefaultShowHeight, QStringLiteral(" px"))),
      m_pFps(MakeSpin(this, QStringLiteral("fps"), kMinFps, kMaxFps, exporting::kDefaultFps,
                      QStringLiteral(" fps"))) {
    setWindowTitle(QStringLiteral("動画の大きさ"));
    auto* layout = new QGridLayout(this);
    const std::pair<const char*, QSpinBox*> rows[] = {
        {"幅(&W) :", m_pWidth}, {"高さ(&H) :", m_pHeight}, {"フレームレート(&F) :", m_pFps}};
    int row = 0;
    for (const auto& [text, spin] : rows) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setBuddy(spin);
        layout->addWidget(label, row, 0);
        layout->addWidget(spin, row, 1);
        ++row;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, row, 0, 1, 2);
    m_pWidth->setFocus(Qt::OtherFocusReason);
}

int CVideoSizeDialog::FrameWidth() const {
    return m_pWidth->value();
}

int CVideoSizeDialog::FrameHeight() const {
    return m_pHeight->value();
}

int CVideoSizeDialog::Fps() const {
    return m_pFps->value();
}
