#pragma once
// The program's resource tables: menus, the string table, the accelerator table, the tool bar
// and the document templates' resource strings, with their ids exactly as the program uses them.
#include <vector>

#include <QString>

#include "framework/AcceleratorTable.h"
#include "framework/MenuTable.h"

namespace fw {
class CStringTable;
}

namespace res {

// String 57344: the application name, also the caption of the framework's message boxes.
inline const QString kAppName = QStringLiteral("Velmo");
// String 128: the main window's title.
inline const QString kMainTitle = QStringLiteral("ベルモエディタ");
// String 57345: the status bar's idle text.
inline const QString kIdleMessage = QStringLiteral("レディ");
inline const QString kCompany = QStringLiteral("Tollan Works");
inline const QString kVersionText = QStringLiteral("ベルモエディタ Version 1.1.0");
inline const QString kAboutCaption = QStringLiteral("バージョン情報 ベルモエディタ");

// The seven fields of the document templates' resource strings.
QString PanelDocStrings();
QString ShowDocStrings();

// The menu bar resource of an id: 128 (no document), 129 (panel), 152 (show); empty for any
// other id.
fw::MenuResource Menu(int resourceId);
// The prompts and tool tips of every command.
void LoadStringTable(fw::CStringTable& strings);
// Accelerator table 128.
std::vector<fw::Accelerator> Accelerators();
// Tool bar 128: command ids in order, 0 for a separator.
std::vector<int> ToolBarButtons();

} // namespace res
