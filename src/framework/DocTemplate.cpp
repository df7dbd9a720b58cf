#include "DocTemplate.h"

#include <QStringList>

#include "model/Document.h"

namespace fw {

CDocTemplate::CDocTemplate(int resourceId, const QString& resourceString,
                           DocumentFactory makeDocument, FrameFactory makeFrame,
                           ViewFactory makeView)
    : m_nResourceId(resourceId), m_makeDocument(std::move(makeDocument)),
      m_makeFrame(std::move(makeFrame)), m_makeView(std::move(makeView)) {
    const QStringList fields = resourceString.split(QLatin1Char('\n'));
    for (int i = 0; i < kDocStringCount && i < fields.size(); ++i) {
        m_strFields[i] = fields[i];
    }
}

QString CDocTemplate::GetDocString(EDocString index) const {
    return index >= 0 && index < kDocStringCount ? m_strFields[index] : QString();
}

QString CDocTemplate::GetFilter() const {
    if (m_strFields[filterExt].isEmpty()) {
        return {};
    }
    const QString& name = m_strFields[filterName];
    // The file dialog reads its patterns from the parentheses.
    if (name.contains(QLatin1Char('('))) {
        return name;
    }
    return name + QStringLiteral(" (*") + m_strFields[filterExt] + QLatin1Char(')');
}

QString CDocTemplate::NextUntitledTitle() {
    ++m_nUntitledCount;
    return m_strFields[docName] + QString::number(m_nUntitledCount);
}

CDocTemplate::EConfidence CDocTemplate::MatchDocType(const QString& path) const {
    const QString& ext = m_strFields[filterExt];
    if (!ext.isEmpty() && path.endsWith(ext, Qt::CaseInsensitive)) {
        return yesAttemptNative;
    }
    return maybeAttemptForeign;
}

} // namespace fw
