// The view's handlers for the editing commands of menu 129, the context menus and the keys.
// The framework enables a command wherever a handler exists, so every command has one whatever
// is selected; the selection needs are checked inside.
#include "VelmoView.h"
#include "ViewCommands.h"
#include "framework/CommandIds.h"
#include "model/Panel.h"

void CVelmoView::RegisterEditCommands() {
    using namespace cmd;
    // A command ends any drag under way first: a dialog must not open while the view holds
    // the mouse, and the panel must not change under a drag.
    const auto add = [this](int id, void (*command)(CVelmoView&)) {
        AddHandler(id, [this, command] {
            CancelDrag();
            command(*this);
        });
    };
    add(ID_PICTURE_IMPORT, editcmd::ImportPicture);
    add(ID_BACK_COLOR, editcmd::BackColor);
    add(ID_TOTAL_SIZE, editcmd::TotalSize);
    add(ID_ZOOM, editcmd::Zoom);
    add(ID_PANEL_SETTINGS, editcmd::PanelSettings);
    add(ID_FIRST_WAIT, editcmd::FirstWait);
    add(ID_PICTURE_WAIT, editcmd::PictureWait);
    add(ID_EDIT_UNDO, editcmd::Undo);
    add(ID_EDIT_REDO, editcmd::Redo);

    add(ID_FUKI_ADD, editcmd::AddFuki);
    add(ID_FUKI_DELETE, editcmd::DeleteFuki);
    add(ID_FUKI_DUPLICATE, editcmd::DuplicateFuki);
    add(ID_FUKI_FILL_COLOR, editcmd::FillColor);
    add(ID_FUKI_BORDER_COLOR, editcmd::BorderColor);
    add(ID_TEXT_COLOR, editcmd::TextColor);
    add(ID_FUKI_PROPERTIES, editcmd::FukiProperties);
    add(ID_FUKI_TEXT, editcmd::FukiText);
    add(ID_FUKI_WAIT, editcmd::FukiWait);
    add(ID_ORDER_BACKWARD, [](CVelmoView& view) { editcmd::ChangeOrder(view, ORDER_BACKWARD); });
    add(ID_ORDER_FORWARD, [](CVelmoView& view) { editcmd::ChangeOrder(view, ORDER_FORWARD); });
    add(ID_ORDER_BACKMOST, [](CVelmoView& view) { editcmd::ChangeOrder(view, ORDER_BACKMOST); });
    add(ID_ORDER_FRONTMOST, [](CVelmoView& view) { editcmd::ChangeOrder(view, ORDER_FRONTMOST); });
}
