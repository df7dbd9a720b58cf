#include "ShowTestSupport.h"

namespace showtest {

CFakePlayer::CFakePlayer() : m_pPrevious(fw::ShowPlayer()) {
    fw::SetShowPlayer(this);
}

CFakePlayer::~CFakePlayer() {
    fw::SetShowPlayer(m_pPrevious);
}

void CFakePlayer::PlayDocumentFile(const QString& path, bool bManual) {
    m_calls.push_back({path, bManual});
}

} // namespace showtest
