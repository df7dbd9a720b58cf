#pragma once
// The frame of a panel document: the framework's default child frame, resizable, with
// minimise and maximise boxes, at the position the area chooses for a new window.
#include "framework/MDIChildWnd.h"

class CChildFrame : public fw::CMDIChildWnd {
    Q_OBJECT
public:
    explicit CChildFrame(QWidget* parent = nullptr);
};
