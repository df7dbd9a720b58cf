#include "MessageCapture.h"

namespace testsupport {

CMessageCapture::CMessageCapture() {
    fw::SetMessageHandler([this](const fw::MessageRequest& request) {
        m_requests.push_back(request);
        if (!m_answers.empty()) {
            const fw::EMsgResult answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        return request.buttons == fw::EMsgButtons::YesNoCancel ? fw::EMsgResult::Cancel
                                                               : fw::EMsgResult::Ok;
    });
}

CMessageCapture::~CMessageCapture() {
    fw::SetMessageHandler({});
}

QStringList CMessageCapture::Texts() const {
    QStringList texts;
    for (const auto& request : m_requests) {
        texts << request.text;
    }
    return texts;
}

QStringList CMessageCapture::Captions() const {
    QStringList captions;
    for (const auto& request : m_requests) {
        captions << request.caption;
    }
    return captions;
}

} // namespace testsupport
