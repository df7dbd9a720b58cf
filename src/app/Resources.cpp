#include "Resources.h"

#include "framework/CommandIds.h"
#include "framework/StringTable.h"

namespace res {

using namespace cmd;
using fw::MenuCommand;
using fw::MenuItem;
using fw::MenuPopup;
using fw::MenuSeparator;

QString PanelDocStrings() {
    return QStringLiteral(
        "\n無題\n新規ベルモ\nベルモ書類 (*.vlm)\n.vlm\nVelmo.Document\nベルモ書類");
}

QString ShowDocStrings() {
    return QStringLiteral("\n無題\n新規ベルモショー\nベルモショー書類 (*.vls)\n.vls\n"
                          "VelmoShow.Document\nベルモショー書類");
}

namespace {

MenuItem ViewMenu() {
    return MenuPopup(QStringLiteral("表示(&V)"),
                     {MenuCommand(ID_VIEW_TOOLBAR, QStringLiteral("ツール バー(&T)")),
                      MenuCommand(ID_VIEW_STATUS_BAR, QStringLiteral("ステータス バー(&S)"))});
}

MenuItem WindowMenu() {
    return MenuPopup(QStringLiteral("ウィンドウ(&W)"),
                     {MenuCommand(ID_WINDOW_CASCADE, QStringLiteral("重ねて表示(&C)")),
                      MenuCommand(ID_WINDOW_TILE_HORZ, QStringLiteral("並べて表示(&T)")),
                      MenuCommand(ID_WINDOW_ARRANGE, QStringLiteral("アイコンの整列(&A)"))});
}

// "表示する画面": the screen the player shows on. The screens' items are named and shown only
// for the screens present when the menu opens; the submenu only with more than one screen.
MenuItem PlayerScreenMenu() {
    std::vector<MenuItem> items{
        MenuCommand(ID_PLAYER_SCREEN_WINDOW, QStringLiteral("ウィンドウのある画面(&W)"))};
    for (int id = ID_PLAYER_SCREEN_FIRST; id <= ID_PLAYER_SCREEN_LAST; ++id) {
        items.push_back(
            MenuCommand(id, QStringLiteral("&%1").arg(id - ID_PLAYER_SCREEN_FIRST + 1)));
    }
    return MenuPopup(QStringLiteral("表示する画面"), std::move(items));
}

MenuItem HelpMenu() {
    return MenuPopup(
        QStringLiteral("ヘルプ(&H)"),
        {MenuCommand(ID_APP_ABOUT, QStringLiteral("バージョン情報 ベルモエディタ(&A)..."))});
}

fw::MenuResource MainFrameMenu() {
    return {
        MenuPopup(
            QStringLiteral("ファイル(&F)"),
            {MenuCommand(ID_FILE_NEW, QStringLiteral("新規作成\tCtrl+N(&N)")),
             MenuCommand(ID_FILE_OPEN, QStringLiteral("開く...\tCtrl+O(&O)")), MenuSeparator(),
             MenuCommand(ID_SHOW_NEW, QStringLiteral("新規ショー設定(&W)...")),
             MenuCommand(ID_SHOW_OPEN, QStringLiteral("ショー設定を開く(&H)...")), MenuSeparator(),
             MenuCommand(ID_FILE_MRU_FILE1, QStringLiteral("最近使ったファイル")), MenuSeparator(),
             MenuCommand(ID_FILE_CLOSE, QStringLiteral("閉じる(&C)")),
             MenuCommand(ID_APP_EXIT, QStringLiteral("アプリケーションの終了(&X)"))}),
        ViewMenu(),
        HelpMenu(),
    };
}

fw::MenuResource PanelMenu() {
    return {
        MenuPopup(
            QStringLiteral("ファイル(&F)"),
            {MenuCommand(ID_FILE_NEW, QStringLiteral("新規作成(&N)\tCtrl+N")),
             MenuCommand(ID_FILE_OPEN, QStringLiteral("開く...(&O)\tCtrl+O")),
             MenuCommand(ID_FILE_CLOSE, QStringLiteral("閉じる(&C)")),
             MenuCommand(ID_FILE_SAVE, QStringLiteral("上書き保存(&S)\tCtrl+S")),
             MenuCommand(ID_FILE_SAVE_AS, QStringLiteral("名前を付けて保存(&A)...")),
             MenuCommand(ID_FILE_PRINT, QStringLiteral("印刷...(&P)\tCtrl+P")),
             MenuCommand(ID_FILE_PRINT_PREVIEW, QStringLiteral("印刷プレビュー(&V)")),
             MenuCommand(ID_FILE_EXPORT, QStringLiteral("エクスポート...")), MenuSeparator(),
             MenuCommand(ID_SHOW_NEW, QStringLiteral("新規ショー設定(&W)...")),
             MenuCommand(ID_SHOW_OPEN, QStringLiteral("ショー設定を開く(&H)...")), MenuSeparator(),
             MenuCommand(ID_FILE_MRU_FILE1, QStringLiteral("最近使ったファイル")), MenuSeparator(),
             MenuCommand(ID_APP_EXIT, QStringLiteral("アプリケーションの終了(&X)"))}),
        MenuPopup(QStringLiteral("編集(&E)"),
                  {MenuCommand(ID_EDIT_UNDO, QStringLiteral("取り消し(&U)\tCtrl+Z")),
                   MenuCommand(ID_EDIT_REDO, QStringLiteral("やり直し(&R)\tCtrl+Y")),
                   MenuSeparator(),
                   MenuCommand(ID_EDIT_CUT, QStringLiteral("切り取り(&T)\tCtrl+X")),
                   MenuCommand(ID_EDIT_COPY, QStringLiteral("コピー(&C)\tCtrl+C")),
                   MenuCommand(ID_EDIT_PASTE, QStringLiteral("貼り付け(&P)\tCtrl+V"))}),
        ViewMenu(),
        MenuPopup(QStringLiteral("ベルモ(&K)"),
                  {MenuCommand(ID_PICTURE_IMPORT, QStringLiteral("イメージ読み込み..(&I)")),
                   MenuSeparator(), MenuCommand(ID_BACK_COLOR, QStringLiteral("背景色...(&B)")),
                   MenuCommand(ID_TOTAL_SIZE, QStringLiteral("全体のサイズ...(&C)")),
                   MenuSeparator(), MenuCommand(ID_ZOOM, QStringLiteral("表示の拡大縮小...(&M)")),
                   MenuCommand(ID_PANEL_SETTINGS, QStringLiteral("ベルモ漫画の詳細設定...(&S)"))}),
        MenuPopup(
            QStringLiteral("ふきだし(&D)"),
            {MenuCommand(ID_FUKI_ADD, QStringLiteral("ふきだしの追加(&A)\tCtrl+Shift+N")),
             MenuCommand(ID_FUKI_DELETE, QStringLiteral("ふきだしの削除(&E)\tDelete")),
             MenuCommand(ID_FUKI_DUPLICATE, QStringLiteral("ふきだしの複製(&D)\tCtrl+D")),
             MenuSeparator(),
             MenuCommand(ID_FUKI_FILL_COLOR, QStringLiteral("ふきだしの色...(&C)")),
             MenuCommand(ID_FUKI_BORDER_COLOR, QStringLiteral("ふきだしの枠の色...(&F)")),
             MenuCommand(ID_FUKI_PROPERTIES, QStringLiteral("ふきだしの詳細設定...(&P)\tEnter")),
             MenuSeparator(), MenuCommand(ID_FUKI_TEXT, QStringLiteral("セリフの編集...(&T)")),
             MenuCommand(ID_TEXT_COLOR, QStringLiteral("セリフの色...(X)")), MenuSeparator(),
             MenuCommand(ID_ORDER_BACKWARD, QStringLiteral("背面へ(&B)")),
             MenuCommand(ID_ORDER_FORWARD, QStringLiteral("前面へ(&F)")),
             MenuCommand(ID_ORDER_BACKMOST, QStringLiteral("最背面へ(&H)")),
             MenuCommand(ID_ORDER_FRONTMOST, QStringLiteral("最前面へ(&Z)"))}),
        MenuPopup(QStringLiteral("スライドショー(&S)"),
                  {MenuCommand(ID_SLIDESHOW_MANUAL, QStringLiteral("手動(&M)")),
                   MenuCommand(ID_SLIDESHOW_AUTO, QStringLiteral("自動(&A)")), PlayerScreenMenu()}),
        WindowMenu(),
        HelpMenu(),
    };
}

fw::MenuResource ShowMenu() {
    return {
        MenuPopup(
            QStringLiteral("ファイル(&F)"),
            {MenuCommand(ID_FILE_NEW, QStringLiteral("新規作成\tCtrl+N(&N)")),
             MenuCommand(ID_FILE_OPEN, QStringLiteral("開く...\tCtrl+O(&O)")),
             MenuCommand(ID_FILE_CLOSE, QStringLiteral("閉じる(&C)")),
             MenuCommand(ID_FILE_SAVE, QStringLiteral("上書き保存\tCtrl+S(&S)")),
             MenuCommand(ID_FILE_SAVE_AS, QStringLiteral("名前を付けて保存(&A)...")),
             MenuCommand(ID_SHOW_EXPORT, QStringLiteral("エクスポート...")), MenuSeparator(),
             MenuCommand(ID_SHOW_NEW, QStringLiteral("新規ショー設定(&W)...")),
             MenuCommand(ID_SHOW_OPEN, QStringLiteral("ショー設定を開く(&H)...")), MenuSeparator(),
             MenuCommand(ID_FILE_MRU_FILE1, QStringLiteral("最近使ったファイル")), MenuSeparator(),
             MenuCommand(ID_APP_EXIT, QStringLiteral("アプリケーションの終了(&X)"))}),
        MenuPopup(QStringLiteral("編集(&E)"),
                  {MenuCommand(ID_EDIT_UNDO, QStringLiteral("元に戻す\tCtrl+Z(&U)")),
                   MenuSeparator(),
                   MenuCommand(ID_EDIT_CUT, QStringLiteral("切り取り\tCtrl+X(&T)")),
                   MenuCommand(ID_EDIT_COPY, QStringLiteral("コピー\tCtrl+C(&C)")),
                   MenuCommand(ID_EDIT_PASTE, QStringLiteral("貼り付け\tCtrl+V(&P)"))}),
        ViewMenu(),
        MenuPopup(QStringLiteral("スライドショー(&S)"),
                  {MenuCommand(ID_SLIDESHOW_MANUAL, QStringLiteral("手動(&M)")),
                   MenuCommand(ID_SLIDESHOW_AUTO, QStringLiteral("自動(&A)")), MenuSeparator(),
                   MenuCommand(ID_SLIDESHOW_LOOP, QStringLiteral("繰り返し再生")),
                   PlayerScreenMenu()}),
        WindowMenu(),
        HelpMenu(),
    };
}

} // namespace

fw::MenuResource Menu(int resourceId) {
    switch (resourceId) {
    case IDR_MAINFRAME:
        return MainFrameMenu();
    case IDR_VELMOTYPE:
        return PanelMenu();
    case IDR_VELMOSHOWTYPE:
        return ShowMenu();
    default:
        return {};
    }
}

void LoadStringTable(fw::CStringTable& s) {
    // Application and file commands.
    s.Set(ID_FILE_NEW, QStringLiteral("新規にベルモ漫画を作成\n新規ベルモ漫画"));
    s.Set(ID_FILE_OPEN, QStringLiteral("既存のファイルを開く\n開く"));
    s.Set(ID_FILE_CLOSE, QStringLiteral("作業中のファイルを閉じる\n閉じる"));
    s.Set(ID_FILE_SAVE, QStringLiteral("作業中のファイルを上書きして保存\n上書き保存"));
    s.Set(ID_FILE_SAVE_AS, QStringLiteral("作業中のファイルを新しい名前で保存\n名前を付けて保存"));
    s.Set(ID_FILE_PRINT, QStringLiteral("作業中のファイルを印刷\n印刷"));
    s.Set(ID_FILE_PRINT_PREVIEW, QStringLiteral("印刷イメージを表示\n印刷プレビュー"));
    s.Set(ID_FILE_EXPORT,
          QStringLiteral("ベルモ漫画を PNG、JPEG、WebP または PDF に書き出し\nエクスポート"));
    s.Set(ID_SHOW_EXPORT,
          QStringLiteral("ショーを MP4、アニメーション WebP、PDF または PNG の書類に書き出し\n"
                         "エクスポート"));
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_LAST; ++id) {
        s.Set(id, QStringLiteral("指定のファイルを開く"));
    }
    s.Set(ID_APP_EXIT, QStringLiteral("アプリケーションを終了し、ファイルの保存を指示\n終了"));
    s.Set(ID_APP_ABOUT,
          QStringLiteral("プログラム情報、バージョン、著作権を表示します。\nバージョン情報"));
    s.Set(ID_SHOW_NEW, QStringLiteral("新規にショー設定を作成\n新規ショー設定"));
    s.Set(ID_SHOW_OPEN, QStringLiteral("既存のショー設定を開く\nショー設定を開く"));

    // Edit menu.
    s.Set(ID_EDIT_UNDO, QStringLiteral("直前に取り消した動作をやり直す\nやり直す"));
    s.Set(ID_EDIT_REDO, QStringLiteral("直前に行った動作を繰り返す\n繰り返す"));
    s.Set(ID_EDIT_CUT, QStringLiteral("選択範囲を切り取ってクリップボードに移動\n切り取り"));
    s.Set(ID_EDIT_COPY, QStringLiteral("選択範囲をコピーしてクリップボードに保存\nコピー"));
    s.Set(ID_EDIT_PASTE, QStringLiteral("クリップボードの内容を貼り付け\n貼り付け"));

    // View and Window menus.
    s.Set(ID_VIEW_TOOLBAR, QStringLiteral("ツール バーの 表示/非表示\nツール バーの表示切り替え"));
    s.Set(ID_VIEW_STATUS_BAR,
          QStringLiteral("ステータス バーの 表示/非表示\nステータス バーの表示切り替え"));
    s.Set(ID_WINDOW_CASCADE, QStringLiteral("ウィンドウを重ねて表示\n重ねて表示"));
    s.Set(ID_WINDOW_TILE_HORZ, QStringLiteral("ウィンドウを並べて表示\n並べて表示"));
    s.Set(ID_WINDOW_ARRANGE, QStringLiteral("ウィンドウの下部にアイコンを整列\nアイコンの整列"));

    // The panel editor.
    s.Set(ID_PICTURE_IMPORT, QStringLiteral("画像書類を読み込む\nイメージ読み込み"));
    s.Set(ID_BACK_COLOR, QStringLiteral("背景色を設定する\n背景色"));
    s.Set(ID_TOTAL_SIZE, QStringLiteral("全体のサイズを設定する\n全体のサイズ"));
    s.Set(ID_ZOOM, QStringLiteral("表示を拡大または縮小する\n表示の拡大縮小"));
    s.Set(ID_PANEL_SETTINGS, QStringLiteral("スライドショーの設定をする\nスライドショーの設定"));
    s.Set(ID_FUKI_ADD, QStringLiteral("ふきだしを追加する\nふきだしの追加"));
    s.Set(ID_FUKI_DELETE, QStringLiteral("ふきだしを削除する\nふきだしの削除"));
    s.Set(ID_FUKI_DUPLICATE, QStringLiteral("ふきだしを複製する\nふきだしの複製"));
    s.Set(ID_FUKI_FILL_COLOR, QStringLiteral("ふきだしの色を設定する\nふきだしの色"));
    s.Set(ID_FUKI_BORDER_COLOR, QStringLiteral("ふきだしの枠の色を設定する\nふきだしの枠の色"));
    s.Set(ID_FUKI_PROPERTIES, QStringLiteral("ふきだしの詳細設定をする\nふきだしの詳細設定"));
    s.Set(ID_FUKI_TEXT, QStringLiteral("セリフの編集をする\nセリフの編集"));
    s.Set(ID_TEXT_COLOR, QStringLiteral("セリフの色を変更する\nセリフの色"));
    s.Set(ID_ORDER_BACKWARD, QStringLiteral("ふきだしを背面に移動\n背面へ"));
    s.Set(ID_ORDER_FORWARD, QStringLiteral("ふきだしを前面に移動\n前面へ"));
    s.Set(ID_ORDER_BACKMOST, QStringLiteral("ふきだしを最背面に移動\n最背面へ"));
    s.Set(ID_ORDER_FRONTMOST, QStringLiteral("ふきだしを最前面に移動\n最前面へ"));
    s.Set(ID_SLIDESHOW_AUTO, QStringLiteral("自動でスライドショーをする\n自動スライドショー"));
    s.Set(ID_SLIDESHOW_MANUAL, QStringLiteral("手動でスライドショーをする\n手動スライドショー"));
    s.Set(ID_SLIDESHOW_LOOP,
          QStringLiteral("自動スライドショーを最後まで再生したら最初から繰り返す\n繰り返し再生"));
    s.Set(ID_PLAYER_SCREEN_WINDOW,
          QStringLiteral("スライドショーをウィンドウのある画面に表示する\nウィンドウのある画面"));
    for (int id = ID_PLAYER_SCREEN_FIRST; id <= ID_PLAYER_SCREEN_LAST; ++id) {
        s.Set(id, QStringLiteral("スライドショーをこの画面に表示する\n表示する画面"));
    }
}

std::vector<fw::Accelerator> Accelerators() {
    return {
        {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
        {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
        {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
        {QKeySequence(Qt::CTRL | Qt::Key_P), ID_FILE_PRINT},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), ID_EDIT_REDO},
        {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), ID_FUKI_ADD},
        {QKeySequence(Qt::CTRL | Qt::Key_D), ID_FUKI_DUPLICATE},
        {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
    };
}

std::vector<int> ToolBarButtons() {
    return {ID_FILE_NEW,
            ID_FILE_OPEN,
            ID_FILE_SAVE,
            0,
            ID_EDIT_CUT,
            ID_EDIT_COPY,
            ID_EDIT_PASTE,
            0,
            ID_SLIDESHOW_AUTO,
            ID_SLIDESHOW_MANUAL,
            0,
            ID_APP_ABOUT};
}

} // namespace res
