#pragma once
// The velmo command line run in the test's own process, its output caught.
#include <string>
#include <vector>

namespace clitest {

struct SRun {
    int nStatus = 0;
    std::string strOut;
    std::string strErr;
};

// Runs cli::RunHeadlessCommand with "velmo" and args as its arguments, catching what it writes
// on standard output and standard error.
SRun RunCli(std::vector<std::string> args);

} // namespace clitest
