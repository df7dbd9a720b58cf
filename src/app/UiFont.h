#pragma once
// The font of the program's own texts (menus, bars, dialogs), which are Japanese.
#include <QFont>

// The desktop's UI font when it has Japanese glyphs; otherwise that font's size and style in an
// installed proportional Japanese gothic face (the balloons' standard face when there is none).
// A UI font without Japanese would have every Japanese character drawn from a fallback face
// looked up per character: two faces mixed in one label, and the fallback search paid at every
// start.
QFont JapaneseUiFont(const QFont& desktopFont);

// Makes JapaneseUiFont(QApplication::font()) the application's font.
void UseJapaneseUiFont();
