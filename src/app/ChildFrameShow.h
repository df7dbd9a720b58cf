#pragma once
// The frame of a show document: a fixed 450 x 280 window with a caption (the document's title),
// a system menu and a close box, but no sizing border and no minimise or maximise boxes.
#include "ChildFrame.h"

class CChildFrameShow : public CChildFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 450;
    static constexpr int kHeight = 280;

    explicit CChildFrameShow(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;
};
