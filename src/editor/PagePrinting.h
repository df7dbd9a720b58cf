#pragma once
// Printing through the print module (velmo-print.so): the print dialog, printing straight to the
// default printer, and the print preview. The module holds everything that needs Qt's print
// support library, so that the editor loads that library when the user first prints instead of
// at every start. Where the module is looked for is export/ProgramModule.h's.
#include <functional>
#include <memory>
#include <string>

class QPagedPaintDevice;
class QWidget;

namespace editor {

// Draws the one page onto a device already at the page resolution (exporting::kPageDpi).
using PagePainter = std::function<void(QPagedPaintDevice& page)>;

class IPagePrinting {
public:
    virtual ~IPagePrinting() = default;
    // The print dialog over parent; the page is printed when the user accepts it.
    virtual void Print(QWidget* parent, const PagePainter& paint) = 0;
    // The page on the default printer, without a dialog.
    virtual void PrintDirect(const PagePainter& paint) = 0;
    // The print preview over parent, which draws the page as often as it needs.
    virtual void Preview(QWidget* parent, const PagePainter& paint) = 0;
};

// The module's one exported function, IPagePrinting* (int version): a new printing object, or
// null when the module was built for another version of this interface. The caller deletes it.
inline constexpr const char* kPagePrintingFactoryName = "velmo_page_printing_create";
inline constexpr int kPagePrintingVersion = 1;
inline constexpr const char* kPrintModuleFileName = "velmo-print.so";

// Opens the module at path (once per process; it stays loaded). On failure null, and error
// names the file and why it could not be used.
std::unique_ptr<IPagePrinting> OpenPagePrintingAt(const std::string& path, std::string& error);
// The module of the running program.
std::unique_ptr<IPagePrinting> OpenPagePrinting(std::string& error);

} // namespace editor
