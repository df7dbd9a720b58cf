#include "ScriptedPrompter.h"

#include <memory>

namespace testsupport {

QString CScriptedPrompter::ChooseFile(QWidget*, const fw::FileDialogRequest& request) {
    m_fileRequests.push_back(request);
    if (m_files.empty()) {
        return {};
    }
    QString answer = m_files.front();
    m_files.pop_front();
    return answer;
}

bool CScriptedPrompter::ChooseColor(QWidget*, COLORREF& color) {
    m_colorsOffered.push_back(color);
    if (m_colors.empty()) {
        return false;
    }
    const std::optional<COLORREF> answer = m_colors.front();
    m_colors.pop_front();
    if (answer) {
        color = *answer;
    }
    return answer.has_value();
}

CPrompterScope::CPrompterScope() {
    auto prompter = std::make_unique<CScriptedPrompter>();
    m_pPrompter = prompter.get();
    fw::SetPrompter(std::move(prompter));
}

CPrompterScope::~CPrompterScope() {
    fw::SetPrompter(nullptr);
}

} // namespace testsupport
