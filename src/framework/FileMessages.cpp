#include "FileMessages.h"

#include "MessageBox.h"

namespace fw {

QString OutcomeMessage(EDocOutcome outcome, const QString& path, bool saving) {
    switch (outcome) {
    case EDocOutcome::Opened:
    case EDocOutcome::Saved:
        return {};
    case EDocOutcome::NotFound:
        return QStringLiteral("%1 was not found.").arg(path);
    case EDocOutcome::AccessDenied:
        return QStringLiteral("Access to %1 was denied.").arg(path);
    case EDocOutcome::OtherFileError:
        return saving ? QStringLiteral("An unexpected error occurred while writing %1.").arg(path)
                      : QStringLiteral("An unexpected error occurred while reading %1.").arg(path);
    case EDocOutcome::UnexpectedFileFormat:
        return QStringLiteral("Unexpected file format.");
    case EDocOutcome::FailedToOpen:
        return QStringLiteral("Failed to open document.");
    case EDocOutcome::FailedToSave:
        return QStringLiteral("Failed to save document.");
    }
    return saving ? QStringLiteral("Failed to save document.")
                  : QStringLiteral("Failed to open document.");
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
