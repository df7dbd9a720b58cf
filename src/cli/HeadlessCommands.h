#pragma once
// Commands of the velmo executable that need no window: PNG export and JSON description.

namespace cli {

// Runs "export INPUT OUTPUT [options]", "--export-png OUT.png FILE.vlm [--zoom N]",
// "--info FILE", "--version" or "--help". Returns the process exit status, or -1 when the
// arguments are not a headless command (the editor then starts).
int RunHeadlessCommand(int argc, char** argv);

} // namespace cli
