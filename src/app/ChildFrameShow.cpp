#include "ChildFrameShow.h"

CChildFrameShow::CChildFrameShow(QWidget* parent) : CChildFrame(parent) {
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // A fixed size: the main window's wish for a new child's size cannot change it either.
    setFixedSize(kWidth, kHeight);
    setWindowIcon(QIcon(QStringLiteral(":/icons/velmo-show-16.png")));
}
