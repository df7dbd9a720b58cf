#include "PanelLayers.h"

#include <algorithm>

std::vector<int> FukiInDisplayOrder(const CPanel& panel) {
    std::vector<int> slots;
    for (int slot = 0; slot < kFukiSlots; ++slot) {
        const std::int32_t position = panel.m_fuki[static_cast<std::size_t>(slot)].m_nOrder;
        if (position >= 1 && position <= kFukiSlots) {
            slots.push_back(slot);
        }
    }
    std::stable_sort(slots.begin(), slots.end(), [&panel](int a, int b) {
        return panel.m_fuki[static_cast<std::size_t>(a)].m_nOrder <
               panel.m_fuki[static_cast<std::size_t>(b)].m_nOrder;
    });
    return slots;
}

std::vector<CLayerRef> PanelLayers(const CPanel& panel) {
    std::vector<CLayerRef> layers{{ELayerKind::Background, -1}, {ELayerKind::Picture, -1}};
    for (int slot : FukiInDisplayOrder(panel)) {
        layers.push_back({ELayerKind::Balloon, slot});
    }
    return layers;
}

std::int32_t* LayerWaitField(CPanel& panel, CLayerRef layer) {
    switch (layer.m_eKind) {
    case ELayerKind::Background:
        return &panel.m_nFirstWait;
    case ELayerKind::Picture:
        return &panel.m_image.m_nWait;
    case ELayerKind::Balloon:
        if (layer.m_nSlot >= 0 && layer.m_nSlot < kFukiSlots) {
            return &panel.m_fuki[static_cast<std::size_t>(layer.m_nSlot)].m_nWait;
        }
        break;
    case ELayerKind::None:
        break;
    }
    return nullptr;
}

std::int32_t LayerWait(const CPanel& panel, CLayerRef layer) {
    // The field is only read.
    const std::int32_t* field = LayerWaitField(const_cast<CPanel&>(panel), layer);
    return field ? *field : 0;
}
