#include "DocumentMessages.h"

std::string DocumentOutcomeMessage(EDocOutcome outcome, const std::string& path, bool saving) {
    switch (outcome) {
    case EDocOutcome::Opened:
    case EDocOutcome::Saved:
        return {};
    case EDocOutcome::NotFound:
        return path + " was not found.";
    case EDocOutcome::AccessDenied:
        return "Access to " + path + " was denied.";
    case EDocOutcome::OtherFileError:
        return (saving ? "An unexpected error occurred while writing "
                       : "An unexpected error occurred while reading ") +
               path + ".";
    case EDocOutcome::UnexpectedFileFormat:
        return "Unexpected file format.";
    case EDocOutcome::FailedToOpen:
        return "Failed to open document.";
    case EDocOutcome::FailedToSave:
        return "Failed to save document.";
    case EDocOutcome::FolderUnusable:
        return "The folder of " + path + " cannot be used.";
    }
    return saving ? "Failed to save document." : "Failed to open document.";
}
