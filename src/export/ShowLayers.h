#pragma once
// A show's panels and, for each, its layers in playing order with how long the automatic player
// holds each: the background (the panel's first wait), the picture layer (its wait), then the
// balloons in the panel's display order (each its own wait). A layer of wait W stays on screen for
// max(W, 0) + 1 ticks of 100 ms, as the player's timer advances on the tick after the wait.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/Panel.h"
#include "model/Playback.h"

namespace exporting {

constexpr int kTickMilliseconds = 100;

struct SShowStep {
    CShowLayer m_layer;
    std::int64_t m_nTicks = 1; // ticks on screen
};

// The layers of one panel in playing order with their ticks.
std::vector<SShowStep> PanelSteps(const CPanel& panel);

// The panel files of a show in playing order (UTF-8 paths; "" for an entry the player plays as
// the blank panel), read from a saved show file. False with a message when the show file
// cannot be read or lists no panels.
bool ShowPanelPaths(const std::string& showPath, std::vector<std::string>& paths,
                    std::string& error);

// Reads a show's panel as the player does: a missing or sizeless file is the blank reset panel
// (with a warning); a damaged one is an error. The panel is emptied first, so at most one
// picture is held at a time, decoded by decoder. Given drawZoom (the zoom the panel will be drawn
// at), the picture is decoded once, for that zoom, and that decode proves that it decodes; a
// picture that does not is left out with the warning of a missing one.
bool LoadShowPanel(const std::string& path, int index, CPanel& panel, IPictureDecoder& decoder,
                   std::string& warning, std::string& error,
                   const std::function<int(const CPanel&)>& drawZoom = {});

} // namespace exporting
