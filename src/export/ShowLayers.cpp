#include "ShowLayers.h"

#include <algorithm>
#include <optional>

#include "model/PanelLayers.h"
#include "model/PlaybackPanel.h"
#include "model/ShowData.h"
#include "model/TextCodec.h"
#include "render/DecodedPicture.h"
#include "render/PicturePreparation.h"

namespace exporting {

namespace {

std::int64_t TicksOf(std::int32_t wait) {
    return std::int64_t(std::max<std::int32_t>(wait, 0)) + 1;
}

const char* CauseText(CArchiveException::ECause cause) {
    return cause == CArchiveException::endOfFile ? "the file ends early"
                                                 : "a text length no reader accepts";
}

} // namespace

std::vector<SShowStep> PanelSteps(const CPanel& panel) {
    // The panel's one display order, as the player and the painter walk it.
    std::vector<SShowStep> steps;
    for (const CLayerRef& layer : PanelLayers(panel)) {
        const EShowLayer kind = layer.m_eKind == ELayerKind::Background ? EShowLayer::Background
                                : layer.m_eKind == ELayerKind::Picture  ? EShowLayer::Picture
                                                                        : EShowLayer::Balloon;
        steps.push_back({{kind, layer.m_nSlot}, TicksOf(LayerWait(panel, layer))});
    }
    return steps;
}

bool ShowPanelPaths(const std::string& showPath, std::vector<std::string>& paths,
                    std::string& error) {
    CShowData show;
    try {
        show.LoadFromPath(showPath);
    } catch (const CArchiveException& e) {
        error = showPath + ": cannot be read as a show (" + CauseText(e.m_cause) + ")";
        return false;
    }
    const int count = show.NameCount();
    if (count <= 0) {
        error = showPath + ": the show lists no panels";
        return false;
    }
    paths.clear();
    for (int i = 0; i < count; ++i) {
        const std::string& name = show.m_strNames[static_cast<std::size_t>(i)];
        // A show names files of its own folder; a name with a folder part plays as blank.
        paths.push_back(Cp932ToUtf8(name).find('/') != std::string::npos
                            ? std::string()
                            : ShowPanelPath(show.m_strFolder, name));
    }
    return true;
}

bool LoadShowPanel(const std::string& path, int index, CPanel& panel, IPictureDecoder& decoder,
                   std::string& warning, std::string& error,
                   const std::function<int(const CPanel&)>& drawZoom) {
    panel.Reset();
    CPanelRead read;
    {
        std::optional<render::CDeferredPictureCheck> deferred;
        if (drawZoom) {
            deferred.emplace();
        }
        read = ReadPanelFile(path, panel, decoder);
    }
    if (read.m_eResult == EPanelRead::Loaded && drawZoom &&
        !render::PreparePicture(panel.m_image, drawZoom(panel))) {
        panel.m_image.m_bitmap.reset();
    }
    const std::string what = "panel " + std::to_string(index + 1) + " (" +
                             (path.empty() ? std::string("no file") : path) + ")";
    warning.clear();
    switch (read.m_eResult) {
    case EPanelRead::Loaded:
        if (!panel.m_image.m_bitmap && !panel.m_image.m_strName.empty()) {
            warning = what + ": the picture \"" + Cp932ToUtf8(panel.m_image.m_strName) +
                      "\" was not found; exported without it";
        }
        return true;
    case EPanelRead::NotFound:
        warning = what + ": not found; exported as the blank panel the player shows";
        return true;
    case EPanelRead::ZeroSize:
        warning = what + ": has no area; exported as the blank panel the player shows";
        return true;
    case EPanelRead::Damaged:
        break;
    }
    error = what + ": damaged, " + CauseText(read.m_eCause);
    return false;
}

} // namespace exporting
