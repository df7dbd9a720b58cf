#include "OutcomeText.h"

#include "model/DocumentMessages.h"

namespace cli {

std::string OpenFailureText(EDocOutcome outcome, const std::string& path) {
    const std::string text = DocumentOutcomeMessage(outcome, path, false);
    // The format messages do not name the file; on a command line they must.
    if (outcome == EDocOutcome::UnexpectedFileFormat || outcome == EDocOutcome::FailedToOpen) {
        return path + ": " + text;
    }
    return text;
}

} // namespace cli
