#include "CliTestSupport.h"

#include <iostream>
#include <sstream>

#include "cli/HeadlessCommands.h"

namespace clitest {

SRun RunCli(std::vector<std::string> args) {
    args.insert(args.begin(), "velmo");
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::ostringstream out, err;
    std::streambuf* oldOut = std::cout.rdbuf(out.rdbuf());
    std::streambuf* oldErr = std::cerr.rdbuf(err.rdbuf());
    const int status = cli::RunHeadlessCommand(static_cast<int>(args.size()), argv.data());
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
    return {status, out.str(), err.str()};
}

} // namespace clitest
