#include "ShowPlayer.h"

namespace fw {

namespace {

IShowPlayer* g_pShowPlayer = nullptr;

} // namespace

IShowPlayer* ShowPlayer() {
    return g_pShowPlayer;
}

void SetShowPlayer(IShowPlayer* player) {
    g_pShowPlayer = player;
}

} // namespace fw
