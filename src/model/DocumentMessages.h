#pragma once
// The words the user is told for each outcome of opening or saving a document. The program's
// framework has always reported these in English; the path names the file.
#include <string>

#include "Document.h"

// "" for Opened and Saved.
std::string DocumentOutcomeMessage(EDocOutcome outcome, const std::string& path, bool saving);
