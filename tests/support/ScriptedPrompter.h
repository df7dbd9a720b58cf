#pragma once
// The file and colour dialogs answered from a script, with every request recorded.
#include <deque>
#include <optional>
#include <vector>

#include <QString>

#include "framework/Prompter.h"

namespace testsupport {

// File dialogs answer from m_files (an empty queue or an empty answer cancels); colour choosers
// answer from m_colors (an empty queue or nothing cancels) and record the colour they opened
// with.
class CScriptedPrompter : public fw::IPrompter {
public:
    std::deque<QString> m_files;
    std::vector<fw::FileDialogRequest> m_fileRequests;
    std::deque<std::optional<COLORREF>> m_colors;
    std::vector<COLORREF> m_colorsOffered;

    QString ChooseFile(QWidget* parent, const fw::FileDialogRequest& request) override;
    bool ChooseColor(QWidget* parent, COLORREF& color) override;
};

// Installs a scripted prompter for its lifetime (the real dialogs come back afterwards).
class CPrompterScope {
public:
    CPrompterScope();
    ~CPrompterScope();
    CScriptedPrompter& operator*() { return *m_pPrompter; }
    CScriptedPrompter* operator->() { return m_pPrompter; }

private:
    CScriptedPrompter* m_pPrompter;
};

} // namespace testsupport
