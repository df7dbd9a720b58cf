#pragma once
// The size of an exported panel picture: a zoom in percent or a width in pixels.
#include <QDialog>

class QRadioButton;
class QSpinBox;

class CExportSizeDialog : public QDialog {
public:
    CExportSizeDialog(QWidget* parent, int zoom, int panelWidth);

    // The chosen zoom (10..1000) when the zoom is chosen, else 0.
    int Zoom() const;
    // The chosen width in pixels when the width is chosen, else 0.
    int Width() const;

private:
    QRadioButton* m_pZoomChoice;
    QRadioButton* m_pWidthChoice;
    QSpinBox* m_pZoom;
    QSpinBox* m_pWidth;
};
