#pragma once
// The size and frame rate of a show exported as a video or an animated WebP, asked after the
// save dialog: width and height of the frame (each panel fitted and letterboxed on black, as the
// player shows it) and frames per second, the same choices as the command line's --size and
// --fps.
#include <QDialog>

class QSpinBox;

class CVideoSizeDialog : public QDialog {
    Q_OBJECT
public:
    // The limits of the command line's --size and --fps.
    static constexpr int kMinSide = 16;
    static constexpr int kMaxSide = 16384;
    static constexpr int kMinFps = 1;
    static constexpr int kMaxFps = 120;

    explicit CVideoSizeDialog(QWidget* parent);

    int FrameWidth() const;
    int FrameHeight() const;
    int Fps() const;

private:
    QSpinBox* m_pWidth;
    QSpinBox* m_pHeight;
    QSpinBox* m_pFps;
};
