#include "Prompter.h"

#include <array>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>

namespace fw {

namespace {

// The sixteen custom colours of the colour chooser, shared by every colour dialog for as long
// as the program runs and not kept afterwards; they start white.
std::array<QColor, 16>& CustomColors() {
    static std::array<QColor, 16> colors = [] {
        std::array<QColor, 16> all;
        all.fill(QColor(255, 255, 255));
        return all;
    }();
    return colors;
}

QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

class CDialogPrompter : public IPrompter {
public:
    QString ChooseFile(QWidget* parent, const FileDialogRequest& request) override {
        QFileDialog dialog(parent ? parent : QApplication::activeWindow(), request.title);
        dialog.setAcceptMode(request.bSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.bSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!request.filters.isEmpty()) {
            dialog.setNameFilters(request.filters);
            dialog.selectNameFilter(request.filters.front());
        }
        if (!request.defaultExtension.isEmpty()) {
            dialog.setDefaultSuffix(request.defaultExtension);
        }
        if (!request.initialPath.isEmpty()) {
            dialog.selectFile(request.initialPath);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return {};
        }
        return dialog.selectedFiles().front();
    }

    bool ChooseColor(QWidget* parent, COLORREF& color) override {
        auto& custom = CustomColors();
        for (int i = 0; i < 16; ++i) {
            QColorDialog::setCustomColor(i, custom[static_cast<std::size_t>(i)]);
        }
        QColorDialog dialog(ToQColor(color), parent ? parent : QApplication::activeWindow());
        const bool accepted = dialog.exec() == QDialog::Accepted;
        for (int i = 0; i < 16; ++i) {
            custom[static_cast<std::size_t>(i)] = QColorDialog::customColor(i);
        }
        if (!accepted) {
            return false;
        }
        const QColor chosen = dialog.selectedColor();
        color = MakeRgb(chosen.red(), chosen.green(), chosen.blue());
        return true;
    }
};

std::unique_ptr<IPrompter>& Installed() {
    static std::unique_ptr<IPrompter> prompter;
    return prompter;
}

} // namespace

IPrompter& Prompter() {
    static CDialogPrompter real;
    return Installed() ? *Installed() : real;
}

void SetPrompter(std::unique_ptr<IPrompter> prompter) {
    Installed() = std::move(prompter);
}

} // namespace fw
