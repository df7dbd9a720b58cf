#pragma once
// The string table of commands: for each id the status-bar prompt and the tool tip, stored as
// one text with the two separated by a line feed.
#include <unordered_map>

#include <QString>

namespace fw {

class CStringTable {
public:
    void Set(int id, const QString& text) { m_strings[id] = text; }
    QString Get(int id) const;
    // The part before the line feed: shown in the status bar while the item is highlighted.
    QString Prompt(int id) const;
    // The part after the line feed: the tool bar button's tip.
    QString ToolTip(int id) const;

private:
    std::unordered_map<int, QString> m_strings;
};

} // namespace fw
