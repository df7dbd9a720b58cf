#include "PagePrinting.h"

#include "export/ProgramModule.h"

namespace editor {

namespace {

constexpr exporting::SModuleRole kPrintRole{"pages are printed", "print module"};

} // namespace

std::unique_ptr<IPagePrinting> OpenPagePrintingAt(const std::string& path, std::string& error) {
    return exporting::MakeFromProgramModule<IPagePrinting>(path, kPagePrintingFactoryName,
                                                           kPagePrintingVersion, kPrintRole, error);
}

std::unique_ptr<IPagePrinting> OpenPagePrinting(std::string& error) {
    return OpenPagePrintingAt(exporting::FindProgramModule(kPrintModuleFileName), error);
}

} // namespace editor
