#pragma once
// The framework's English messages for the outcomes of opening and saving documents.
#include <QString>

#include "model/Document.h"

class QWidget;

namespace fw {

// The message for a failed outcome, naming the file where the message does; an empty string
// for Opened and Saved.
QString OutcomeMessage(EDocOutcome outcome, const QString& path, bool saving);
// Shows that message as a framework message box (nothing for a success).
void ReportOutcome(QWidget* parent, EDocOutcome outcome, const QString& path, bool saving);

// "Save changes to %1?"
QString SaveChangesQuestion(const QString& title);

} // namespace fw
