#pragma once
// Helpers of the slideshow tests, on top of the shared test support: a stand-in for the
// playback window.
#include <vector>

#include <QString>

#include "AppDriver.h"
#include "MessageCapture.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "framework/ShowPlayer.h"

namespace showtest {

// Stands in for the application's playback window while it lives and records each request.
class CFakePlayer : public fw::IShowPlayer {
public:
    struct SCall {
        QString strPath;
        bool bManual = false;
    };
    CFakePlayer();
    ~CFakePlayer() override;
    void PlayDocumentFile(const QString& path, bool bManual) override;
    std::vector<SCall> m_calls;

private:
    fw::IShowPlayer* m_pPrevious;
};

} // namespace showtest
