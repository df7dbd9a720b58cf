#pragma once
// The one-line message for a document that could not be opened.
#include <string>

#include "model/Document.h"

namespace cli {

std::string OpenFailureText(EDocOutcome outcome, const std::string& path);

} // namespace cli
