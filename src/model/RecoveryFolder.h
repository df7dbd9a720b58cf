#pragma once
// Where recovery copies of unsaved documents (and copies of files about to be written in
// place) are kept: "$XDG_STATE_HOME/velmo/recovery/", or "~/.local/state/velmo/recovery/"
// when XDG_STATE_HOME is unset, empty or not an absolute path.
#include <string>

// The recovery folder's path, ending with '/', without touching the file system; "" when no
// home folder can be found.
std::string RecoveryFolderPath();

// The recovery folder's path, ending with '/', after creating it and any missing parent
// (new folders private to the user, mode 0700). On failure returns "" and sets err to the
// errno value.
std::string EnsureRecoveryFolder(int& err);
