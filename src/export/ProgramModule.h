#pragma once
// Finding and opening the program's own modules (lib/velmo/*.so): parts whose libraries are big
// to load and needed by few commands (the video encoder, printing), opened the first time such
// a command runs instead of at every start. Installed, a module lies in lib/velmo/ under the
// program's prefix (/usr/bin/velmo -> /usr/lib/velmo/NAME); in a build folder, in lib/velmo/ of
// the build folder, found by looking up from the folder of the running program.
#include <memory>
#include <string>
#include <vector>

namespace exporting {

// The places the module fileName is looked for, in order, for a program in exeFolder.
std::vector<std::string> ProgramModuleCandidates(const std::string& exeFolder,
                                                 const std::string& fileName);

// The module fileName of the running program: the first candidate that exists, or the
// installed place when none does (so that a message names it).
std::string FindProgramModule(const std::string& fileName);

// How a module is named in messages: "videos are written" by the "video module" ...
struct SModuleRole {
    const char* purpose;
    const char* kind;
};

// "<purpose> by the <kind> <path>, which <why>": what a module that cannot be used says.
std::string UnusableModuleMessage(const SModuleRole& role, const std::string& path,
                                  const std::string& why);

// The function symbol of the module at path, opened once per process and kept loaded (the
// libraries behind a module are not made to be unloaded). On failure null, and error names the
// file and says why it could not be used.
void* ProgramModuleFunction(const std::string& path, const char* symbol, const SModuleRole& role,
                            std::string& error);

// The object a module makes through its one exported function, T* (*)(int version), found by
// factorySymbol; the caller owns it. Null, and error says why, when the module cannot be used or
// was built for another version of the interface.
template <class T>
std::unique_ptr<T> MakeFromProgramModule(const std::string& path, const char* factorySymbol,
                                         int version, const SModuleRole& role, std::string& error) {
    using Factory = T* (*)(int);
    const auto factory =
        reinterpret_cast<Factory>(ProgramModuleFunction(path, factorySymbol, role, error));
    if (factory == nullptr) {
        return nullptr;
    }
    std::unique_ptr<T> made(factory(version));
    if (made == nullptr) {
        error = UnusableModuleMessage(role, path, "belongs to another version of this program");
    }
    return made;
}

} // namespace exporting
