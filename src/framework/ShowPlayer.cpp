#include "ShowPlayer.h"

#include "MessageBox.h"

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

void RefuseUnsavedShow(QWidget* parent) {
    ProgramMessage(parent,
                   QStringLiteral("書類は変更されています。ショーを見るには保存してください"),
                   QStringLiteral("保存"));
}

} // namespace fw
