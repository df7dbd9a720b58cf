#pragma once
// The editing commands of the panel view. Each works on the view's document and selection:
// it asks the user for what it needs and hands that to one named operation of the document,
// which records the change; the view repaints when the document announces it. A command whose
// selection need is not met does nothing at all.
#include "model/PanelLayers.h"

class CVelmoView;

namespace editcmd {

// The panel (PanelCommands.cpp): no selection needed.
void ImportPicture(CVelmoView& view);
void BackColor(CVelmoView& view);
void TotalSize(CVelmoView& view);
void Zoom(CVelmoView& view);
void PanelSettings(CVelmoView& view);
void FirstWait(CVelmoView& view);
void PictureWait(CVelmoView& view);
void Undo(CVelmoView& view);
void Redo(CVelmoView& view);
// Asks for the wait after one layer and sets it.
void EditWait(CVelmoView& view, CLayerRef layer);

// The balloons (FukiCommands.cpp): all but adding need a selected balloon.
void AddFuki(CVelmoView& view);
void DeleteFuki(CVelmoView& view);
void DuplicateFuki(CVelmoView& view);
void FillColor(CVelmoView& view);
void BorderColor(CVelmoView& view);
void TextColor(CVelmoView& view);
void FukiProperties(CVelmoView& view);
void FukiText(CVelmoView& view);
// how: the document's order change (EOrderChange).
void ChangeOrder(CVelmoView& view, int how);
void FukiWait(CVelmoView& view);

} // namespace editcmd
