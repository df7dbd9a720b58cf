#pragma once
// A panel's layers as everything that shows them sees them: the background, the picture, then
// the balloons in display order, each with its wait. The editor's painter and hit test, the
// order dialog and the player all walk this one list.
#include <cstdint>
#include <vector>

#include "Panel.h"

enum class ELayerKind { None, Background, Picture, Balloon };

struct CLayerRef {
    ELayerKind m_eKind = ELayerKind::None;
    int m_nSlot = -1; // the balloon slot of a Balloon layer
    friend bool operator==(const CLayerRef&, const CLayerRef&) = default;
};

// The balloon slots in display order, backmost first: every slot holding a position 1..10,
// by position; equal positions (only a file brings them) by slot index, the lower slot behind,
// as the next order operation numbers them. Gaps are skipped.
std::vector<int> FukiInDisplayOrder(const CPanel& panel);
// Background, picture, then the balloons of FukiInDisplayOrder.
std::vector<CLayerRef> PanelLayers(const CPanel& panel);
// The wait after a layer is shown, in tenths of a second; 0 for no layer.
std::int32_t LayerWait(const CPanel& panel, CLayerRef layer);
// Where a panel holds a layer's wait, or null for no layer (a slot outside 0..9).
std::int32_t* LayerWaitField(CPanel& panel, CLayerRef layer);
