#include "FileMessages.h"

#include "MessageBox.h"
#include "model/DocumentMessages.h"

namespace fw {

QString OutcomeMessage(EDocOutcome outcome, const QString& path, bool saving) {
    return QString::fromStdString(DocumentOutcomeMessage(outcome, path.toStdString(), saving));
}

void ReportOutcome(QWidget* parent, EDocOutcome outcome, const QString& path, bool saving) {
    const QString text = OutcomeMessage(outcome, path, saving);
    if (!text.isEmpty()) {
        FrameworkMessage(parent, text);
    }
}

QString SaveChangesQuestion(const QString& title) {
    return QStringLiteral("Save changes to %1?").arg(title);
}

} // namespace fw
