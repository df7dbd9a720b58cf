#pragma once
// Reading one panel of a show and fitting it to the screen. Neither touches any playback state,
// so the full-screen window may also prepare the next panel on a worker thread with them.
#include <string>

#include "Archive.h"
#include "Panel.h"

enum class EPanelRead {
    Loaded,   // the panel as saved, its picture looked for in the panel file's folder first
    NotFound, // no such file, or it cannot be opened: the blank reset panel
    Damaged,  // the file ends before the panel is complete: the blank reset panel
    ZeroSize, // the panel's width or height is 0 or negative: the blank reset panel
};

struct CPanelRead {
    EPanelRead m_eResult = EPanelRead::NotFound;
    CArchiveException::ECause m_eCause = CArchiveException::endOfFile; // when Damaged
};

// Reads the panel file at a UTF-8 path into panel, its picture decoded by decoder. Anything but
// Loaded leaves panel reset (black, 640 x 480, no picture, no balloons). An empty path is
// NotFound.
CPanelRead ReadPanelFile(const std::string& path, CPanel& panel, IPictureDecoder& decoder);

struct CPanelFit {
    std::int32_t m_nZoom = 100;
    std::int32_t m_nOffsetX = 0;
    std::int32_t m_nOffsetY = 0;
};

// The largest whole percentage at which the panel's overall rectangle fits a screen of the
// given size, centred along the axis with room to spare and flush top-left on the other; ties
// fit the height. Divisions truncate toward zero. A panel of no area fits at 100, (0, 0).
CPanelFit FitPanelToScreen(const CRect& rcTotal, int screenWidth, int screenHeight);
