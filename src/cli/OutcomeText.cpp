#include "OutcomeText.h"

namespace cli {

std::string OpenFailureText(EDocOutcome outcome, const std::string& path) {
    switch (outcome) {
    case EDocOutcome::NotFound:
        return path + " was not found.";
    case EDocOutcome::AccessDenied:
        return "Access to " + path + " was denied.";
    case EDocOutcome::UnexpectedFileFormat:
        return path + ": Unexpected file format.";
    case EDocOutcome::FailedToOpen:
        return path + ": Failed to open document.";
    default:
        return path + ": the file could not be read.";
    }
}

} // namespace cli
