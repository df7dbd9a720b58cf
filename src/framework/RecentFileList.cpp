#include "RecentFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace fw {

namespace {

bool SamePath(const QString& a, const QString& b) {
    if (a == b) {
        return true;
    }
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

} // namespace

CRecentFileList::CRecentFileList(int maxEntries, QString section, QString entryFormat)
    : m_nMaxSize(maxEntries), m_strSection(std::move(section)),
      m_strEntryFormat(std::move(entryFormat)) {}

void CRecentFileList::Add(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        if (SamePath(m_list[i], absolute)) {
            m_list.removeAt(i);
            break;
        }
    }
    m_list.prepend(absolute);
    while (m_list.size() > m_nMaxSize) {
        m_list.removeLast();
    }
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && index < m_list.size()) {
        m_list.removeAt(index);
    }
}

void CRecentFileList::ReadList(QSettings& settings) {
    m_list.clear();
    settings.beginGroup(m_strSection);
    for (int i = 0; i < m_nMaxSize; ++i) {
        const QString path = settings.value(m_strEntryFormat.arg(i + 1)).toString();
        if (!path.isEmpty() && !m_list.contains(path)) {
            m_list.append(path);
        }
    }
    settings.endGroup();
}

void CRecentFileList::WriteList(QSettings& settings) const {
    settings.beginGroup(m_strSection);
    for (int i = 0; i < m_nMaxSize; ++i) {
        const QString key = m_strEntryFormat.arg(i + 1);
        if (i < m_list.size()) {
            settings.setValue(key, m_list[i]);
        } else {
            settings.remove(key);
        }
    }
    settings.endGroup();
}

QString CRecentFileList::DisplayName(const QString& path, const QString& currentDir,
                                     int maxLength) {
    const QFileInfo info(path);
    QString shown;
    if (!currentDir.isEmpty() && QDir(info.absolutePath()) == QDir(currentDir)) {
        shown = info.fileName();
    } else if (path.size() <= maxLength) {
        shown = path;
    } else {
        // Keep the first folder and the file name, then add folders from the right while the
        // whole stays within maxLength: "/home/.../panels/one.vlm".
        const QStringList parts = path.split(QLatin1Char('/'));
        const QString ellipsis = QStringLiteral("...");
        const QString head = parts.size() > 2 ? parts[0] + QLatin1Char('/') + parts[1] : QString();
        QString tail = parts.last();
        shown = tail;
        if (!head.isEmpty() && head.size() + 1 + ellipsis.size() + 1 + tail.size() <= maxLength) {
            for (qsizetype i = parts.size() - 2; i > 1; --i) {
                const QString longer = parts[i] + QLatin1Char('/') + tail;
                if (head.size() + 1 + ellipsis.size() + 1 + longer.size() > maxLength) {
                    break;
                }
                tail = longer;
            }
            shown = head + QLatin1Char('/') + ellipsis + QLatin1Char('/') + tail;
        }
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return shown;
}

} // namespace fw
