#include "ChildFrameShow.h"

#include <QEvent>

CChildFrameShow::CChildFrameShow(QWidget* parent) : CChildFrame(parent) {
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // A fixed size: the main window's wish for a new child's size cannot change it either.
    setFixedSize(kWidth, kHeight);
    setWindowIcon(QIcon(QStringLiteral(":/icons/velmo-show-16.png")));
}

void CChildFrameShow::changeEvent(QEvent* event) {
    CChildFrame::changeEvent(event);
    // The area maximises a window it activates while the previous one was maximised, whether
    // or not that window has a maximise box. A window without one stays as it is: maximised,
    // it would lose its caption and keep the area in maximised mode, so that the next click on
    // a panel window maximises that window under the pointer.
    if (event->type() == QEvent::WindowStateChange && isMaximized()) {
        showNormal();
    }
}
