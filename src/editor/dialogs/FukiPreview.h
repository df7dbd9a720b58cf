#pragma once
// A balloon drawn by the drawing layer as the panel shows it, scaled down to fit when larger:
// the live preview of the balloon detail dialog.
#include <QWidget>

#include "model/Fuki.h"

class CFukiPreview : public QWidget {
    Q_OBJECT
public:
    explicit CFukiPreview(QWidget* parent = nullptr);

    void SetFuki(const CFuki& fuki);
    const CFuki& Fuki() const { return m_fuki; }
    // The zoom the balloon is drawn at (at most 100).
    int Zoom() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CFuki m_fuki;
};
