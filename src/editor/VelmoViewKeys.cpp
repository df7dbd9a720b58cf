// The three keys the panel view handles itself, only while a balloon is selected: Backspace and
// Delete delete it, Enter opens its detail settings. The arrows on a selection and the
// context-menu keys are the keyboard editing's (VelmoViewKeyboard.cpp); everything else is the
// scroll area's.
#include <QKeyEvent>

#include "VelmoView.h"
#include "framework/CommandIds.h"
#include "model/Panel.h"

void CVelmoView::keyPressEvent(QKeyEvent* event) {
    if (HandleKeyboardEdit(event)) {
        event->accept();
        return;
    }
    if (m_nSelected >= 0 && m_nSelected < kFukiSlots) {
        switch (event->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            Execute(cmd::ID_FUKI_DELETE);
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Execute(cmd::ID_FUKI_PROPERTIES);
            event->accept();
            return;
        default:
            break;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}
