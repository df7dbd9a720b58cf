#pragma once
// Message boxes recorded and answered without a window.
#include <deque>
#include <vector>

#include <QStringList>

#include "framework/MessageBox.h"

namespace testsupport {

// Records every message box while it lives and answers from m_answers; with the queue empty,
// OK (Cancel for a question).
class CMessageCapture {
public:
    CMessageCapture();
    ~CMessageCapture();

    QStringList Texts() const;
    QStringList Captions() const;

    std::vector<fw::MessageRequest> m_requests;
    std::deque<fw::EMsgResult> m_answers;
};

} // namespace testsupport
