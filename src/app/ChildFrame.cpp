#include "ChildFrame.h"

CChildFrame::CChildFrame(QWidget* parent) : fw::CMDIChildWnd(parent) {
    setWindowIcon(QIcon(QStringLiteral(":/icons/velmo-panel-16.png")));
}
