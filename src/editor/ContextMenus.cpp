#include "ContextMenus.h"

#include "framework/CommandIds.h"

namespace res {

using namespace cmd;
using fw::MenuCommand;
using fw::MenuPopup;
using fw::MenuSeparator;

namespace {

fw::MenuResource PanelPopup() {
    return {MenuPopup(QStringLiteral("ベルモ"),
                      {MenuCommand(ID_BACK_COLOR, QStringLiteral("背景色...")),
                       MenuCommand(ID_TOTAL_SIZE, QStringLiteral("全体のサイズ...")),
                       MenuCommand(ID_FIRST_WAIT, QStringLiteral("最初の待ち時間")),
                       MenuCommand(ID_PANEL_DETAIL, QStringLiteral("詳細設定...")), MenuSeparator(),
                       MenuCommand(ID_PICTURE_IMPORT, QStringLiteral("イメージ読み込み...")),
                       MenuSeparator(), MenuCommand(ID_FUKI_ADD, QStringLiteral("ふきだしの追加")),
                       MenuCommand(ID_FUKI_DELETE, QStringLiteral("ふきだしの削除")),
                       MenuSeparator(), MenuCommand(ID_ZOOM, QStringLiteral("表示の拡大縮小...")),
                       MenuCommand(ID_PANEL_SETTINGS, QStringLiteral("ベルモ漫画の詳細設定...")),
                       MenuSeparator(),
                       MenuPopup(QStringLiteral("スライドショー"),
                                 {MenuCommand(ID_SLIDESHOW_MANUAL, QStringLiteral("手動")),
                                  MenuCommand(ID_SLIDESHOW_AUTO, QStringLiteral("自動"))})})};
}

fw::MenuResource FukiPopup() {
    return {MenuPopup(QStringLiteral("ふきだし"),
                      {MenuCommand(ID_FUKI_ADD, QStringLiteral("ふきだしの追加")),
                       MenuCommand(ID_FUKI_DELETE, QStringLiteral("ふきだしの削除")),
                       MenuCommand(ID_FUKI_DUPLICATE, QStringLiteral("ふきだしの複製")),
                       MenuSeparator(),
                       MenuCommand(ID_FUKI_FILL_COLOR, QStringLiteral("ふきだしの色...")),
                       MenuCommand(ID_FUKI_BORDER_COLOR, QStringLiteral("ふきだしの枠の色...")),
                       MenuCommand(ID_FUKI_PROPERTIES, QStringLiteral("ふきだしの詳細設定...")),
                       MenuSeparator(),
                       MenuCommand(ID_FUKI_TEXT, QStringLiteral("セリフの編集...")),
                       MenuCommand(ID_TEXT_COLOR, QStringLiteral("セリフの色...")),
                       MenuCommand(ID_FONT, QStringLiteral("フォント...")),
                       MenuCommand(ID_FONT_SIZE, QStringLiteral("フォントサイズ...")),
                       MenuSeparator(),
                       MenuCommand(ID_ORDER_BACKWARD, QStringLiteral("背面へ")),
                       MenuCommand(ID_ORDER_FORWARD, QStringLiteral("前面へ")),
                       MenuCommand(ID_ORDER_BACKMOST, QStringLiteral("最背面へ")),
                       MenuCommand(ID_ORDER_FRONTMOST, QStringLiteral("最前面へ")),
                       MenuSeparator(),
                       MenuCommand(ID_FUKI_WAIT, QStringLiteral("表示後の待ち時間")),
                       MenuSeparator(),
                       MenuCommand(ID_PANEL_SETTINGS, QStringLiteral("ベルモ漫画の詳細設定..."))})};
}

fw::MenuResource PicturePopup() {
    return {MenuPopup(QStringLiteral("IMAGE"),
                      {MenuCommand(ID_PICTURE_IMPORT, QStringLiteral("イメージ読み込み...")),
                       MenuCommand(ID_PICTURE_WAIT, QStringLiteral("表示後の待ち時間")),
                       MenuSeparator(),
                       MenuCommand(ID_PANEL_SETTINGS, QStringLiteral("ベルモ漫画の詳細設定..."))})};
}

} // namespace

fw::MenuResource ContextMenu(int resourceId) {
    switch (resourceId) {
    case IDR_POPUP_PANEL:
        return PanelPopup();
    case IDR_POPUP_FUKI:
        return FukiPopup();
    case IDR_POPUP_PICTURE:
        return PicturePopup();
    default:
        return {};
    }
}

} // namespace res
