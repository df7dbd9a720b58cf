#pragma once
// The recent-file list: at most a fixed number of absolute paths, the latest first, kept in
// the profile under "Recent File List" as File1, File2, ...
#include <QString>
#include <QStringList>

class QSettings;

namespace fw {

class CRecentFileList {
public:
    explicit CRecentFileList(int maxEntries, QString section = QStringLiteral("Recent File List"),
                             QString entryFormat = QStringLiteral("File%1"));

    int GetSize() const { return static_cast<int>(m_list.size()); }
    int GetMaxSize() const { return m_nMaxSize; }
    bool IsEmpty() const { return m_list.isEmpty(); }
    const QStringList& Entries() const { return m_list; }
    QString At(int index) const { return m_list.value(index); }

    // Puts a path at the top; a path already listed moves up instead of appearing twice.
    void Add(const QString& path);
    void Remove(int index);

    void ReadList(QSettings& settings);
    void WriteList(QSettings& settings) const;

    // The text of a menu item: at most maxLength characters of the path, keeping the file name
    // and as much of the folder as fits, with "..." for the left-out folders; names in
    // currentDir appear bare. Ampersands are doubled so that they show.
    static QString DisplayName(const QString& path, const QString& currentDir, int maxLength);

private:
    int m_nMaxSize;
    QString m_strSection;
    QString m_strEntryFormat;
    QStringList m_list;
};

} // namespace fw
