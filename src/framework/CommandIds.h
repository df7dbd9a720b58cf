#pragma once
// Command and resource ids shared by menus, tool bar, accelerators and the string table. The
// framework's standard commands keep their standard numbers; the program's own follow.

namespace cmd {

enum : int {
    // Resources of the main frame and the two document types (menu, icon, strings).
    IDR_MAINFRAME = 128,
    IDR_VELMOTYPE = 129,
    IDR_VELMOSHOWTYPE = 152,

    // File menu.
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616, // the recent-file items take 57616 onwards
    ID_FILE_MRU_LAST = 57631,

    // Edit menu.
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,

    // Window menu.
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,

    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,

    // Status bar panes and bars.
    ID_SEPARATOR = 0,
    ID_INDICATOR_CAPS = 59137,
    ID_INDICATOR_NUM = 59138,
    ID_INDICATOR_SCRL = 59139,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,

    // The program's own commands.
    ID_PICTURE_IMPORT = 32773,
    ID_BACK_COLOR = 32775,
    ID_FUKI_ADD = 32777,
    ID_FUKI_PROPERTIES = 32779,
    ID_FUKI_DELETE = 32781,
    ID_TEXT_COLOR = 32793,
    ID_FONT = 32794,
    ID_FONT_SIZE = 32795,
    ID_ZOOM = 32798,
    ID_TOTAL_SIZE = 32800,
    ID_FUKI_FILL_COLOR = 32803,
    ID_FUKI_BORDER_COLOR = 32807,
    ID_ORDER_BACKWARD = 32816,
    ID_ORDER_FORWARD = 32817,
    ID_ORDER_BACKMOST = 32818,
    ID_ORDER_FRONTMOST = 32819,
    ID_PANEL_DETAIL = 32823,
    ID_FUKI_TEXT = 32824,
    ID_SHOW_NEW = 32835,
    ID_SHOW_OPEN = 32836,
    ID_FUKI_WAIT = 32840,
    ID_FIRST_WAIT = 32842,
    ID_PICTURE_WAIT = 32844,
    ID_SLIDESHOW_MANUAL = 32845,
    ID_SLIDESHOW_AUTO = 32846,
    ID_PANEL_SETTINGS = 32853,
    ID_FUKI_DUPLICATE = 32855,

    // Getting the work out: a panel or a show exported to pictures, PDF or video.
    ID_FILE_EXPORT = 33100,
    ID_SHOW_EXPORT = 33101,
    // The player: loop a show, and the screen it plays on (the window's screen, then screens).
    ID_SLIDESHOW_LOOP = 33150,
    ID_PLAYER_SCREEN_WINDOW = 33160,
    ID_PLAYER_SCREEN_FIRST = 33161,
    ID_PLAYER_SCREEN_LAST = 33176,
};

// The number of entries of the recent-file list.
constexpr int kRecentFileCount = 5;

} // namespace cmd
