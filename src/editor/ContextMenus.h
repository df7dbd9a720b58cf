#pragma once
// The three context menus of the panel view, as tables of (id, text) so that ids, texts and
// order stay exactly as the resource gives them. The view picks one by what lies under the
// pointer at a right press.
#include "framework/MenuTable.h"

namespace res {

enum : int {
    IDR_POPUP_PANEL = 130,   // nothing under the pointer: popup "ベルモ"
    IDR_POPUP_FUKI = 136,    // a balloon under the pointer: popup "ふきだし"
    IDR_POPUP_PICTURE = 150, // the picture under the pointer: popup "IMAGE"
};

// The menu resource of a context menu: its one popup; empty for any other id.
fw::MenuResource ContextMenu(int resourceId);

} // namespace res
