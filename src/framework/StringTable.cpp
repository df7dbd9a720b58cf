#include "StringTable.h"

namespace fw {

QString CStringTable::Get(int id) const {
    const auto found = m_strings.find(id);
    return found == m_strings.end() ? QString() : found->second;
}

QString CStringTable::Prompt(int id) const {
    return Get(id).section(QLatin1Char('\n'), 0, 0);
}

QString CStringTable::ToolTip(int id) const {
    return Get(id).section(QLatin1Char('\n'), 1, 1);
}

} // namespace fw
