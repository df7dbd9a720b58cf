#include "PagePrinting.h"

#include "export/ProgramModule.h"

namespace editor {

namespace {

constexpr exporting::SModuleRole kPrintRole{"pages are printed", "print module"};

} // namespace

std::unique_ptr<IPagePrinting> OpenPagePrintingAt(const std::string& path, std::string& error) {
    const auto factory = reinterpret_cast<PagePrintingFactory>(
        exporting::ProgramModuleFunction(path, kPagePrintingFactoryName, kPrintRole, error));
    if (factory == nullptr) {
        return nullptr;
    }
    std::unique_ptr<IPagePrinting> printing(factory(kPagePrintingVersion));
    if (printing == nullptr) {
        error = exporting::UnusableModuleMessage(kPrintRole, path,
                                                 "belongs to another version of this program");
    }
    return printing;
}

std::unique_ptr<IPagePrinting> OpenPagePrinting(std::string& error) {
    return OpenPagePrintingAt(exporting::FindProgramModule(kPrintModuleFileName), error);
}

} // namespace editor
