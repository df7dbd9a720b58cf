#pragma once
// The panel document: one panel, its undo history, and the named operations that change it.
// Each operation checks its input, applies the change, records exactly one history step (none
// when nothing changed), marks the document modified and announces the change once. The panel
// is read freely; it is changed only through these operations.
#include <functional>
#include <string>

#include "Document.h"
#include "KeyboardEdits.h"
#include "LayerEdits.h"
#include "Panel.h"
#include "PanelLayers.h"
#include "RepeatedStep.h"
#include "UndoHistory.h"

// The three colours of a balloon that the colour commands choose.
enum class EFukiColor { Fill, Border, Text };

class CVelmoDoc : public CDocumentBase {
public:
    CPanel m_panel;
    CUndoHistory m_history;
    CRepeatedStep m_repeat;

    // A new document: the default panel is the history's first step. Every picture the
    // document reads, imports or restores by undo and redo is decoded by decoder, which must
    // outlive the document.
    explicit CVelmoDoc(IPictureDecoder& decoder);

    IPictureDecoder& PictureDecoder() const { return m_decoder; }

    // The panel as it stands becomes the history's only step (a new or a just-read document),
    // with the picture-changed mark set; nothing is marked modified.
    void ResetHistory();
    // Stamps the picture-changed mark, pushes a snapshot, and marks the document modified.
    void RecordChange(bool bSetModified, bool bImageChanged);

    int FindFuki(std::int32_t position) const { return m_panel.FindFuki(position); }
    // The balloon in a slot when the slot is in use, else null.
    const CFuki* GetFuki(int slot) const;

    // Balloons (FukiEdits.cpp). Operations on a slot that is not in use change nothing.
    // Returns the new slot, frontmost, or -1 when all slots are in use (nothing recorded).
    int AddFuki();
    // A copy of a balloon in use, frontmost, moved by (10, 10); -1 when no slot is free.
    int DuplicateFuki(int source);
    bool DeleteFuki(int slot);
    // how: EOrderChange.
    bool ChangeFukiOrder(int slot, int how);
    bool MoveFuki(int slot, CPoint delta);
    bool ResizeFuki(int slot, int handle, CPoint to);
    bool SetTail(int slot, CPoint to);
    // Every field of style but the display position, then the body and tail bases ordered.
    // Fields this document does not know of pass through unchanged.
    bool SetFukiStyle(int slot, const CFuki& style);
    bool SetFukiText(int slot, const std::string& text);
    bool SetFukiColor(int slot, EFukiColor which, COLORREF color);

    // The panel (PanelEdits.cpp).
    bool SetBackground(COLORREF color);
    // The overall right and bottom edges (width 10..2000, height 100..2000); left and top stay.
    bool SetTotalSize(std::int32_t width, std::int32_t height);
    // Replaces the picture; the step is marked as replacing it. Anything but Imported leaves
    // the document untouched.
    EImportResult ImportPicture(const std::string& path);
    bool MovePicture(CPoint delta);
    bool ResizePicture(int handle, CPoint to);
    // The wait after one layer is shown.
    bool SetWait(CLayerRef layer, std::int32_t wait);
    // The display positions and every wait of an edited copy of the panel, as one step.
    bool SetOrderAndWaits(const CPanel& edited);
    // A finished mouse drag with the pointer released at a zoomed point (see ApplyDragTo).
    bool ApplyDrag(const CDrag& drag, CPoint current);
    // A keyboard nudge of a layer (KeyboardEdits.cpp): one history step per run of presses of
    // one key, each within a second of the one before (key: any number naming the key).
    bool Nudge(const SNudge& nudge, int key, std::int64_t nowMs);
    // A copied balloon put into the first free slot, frontmost, on its own spot or 10 pixels on
    // from an alike balloon there (FukiClipboard.cpp); -1 when all ten slots are in use.
    int PasteFuki(const CFuki& copied);

    // A step taken marks the document modified: the panel then differs from what was saved.
    bool Undo();
    bool Redo();

    void Serialize(CArchive& ar) override;

protected:
    void OnPathNameChanged() override;

private:
    IPictureDecoder& m_decoder;

    CFuki* FukiInUse(int slot);
    // Applies an edit to a copy of a balloon in use and commits it when it differs.
    bool EditFuki(int slot, const std::function<void(CFuki&)>& edit);
    // Applies an edit to the picture's body when there is a picture; commits when it moved.
    bool EditPicture(const std::function<void(CPanelImage&)>& edit);
    // Puts a changed balloon into its slot and commits; false when it equals the slot's.
    bool CommitFuki(int slot, const CFuki& after);
    // Records one modifying step and announces it.
    void Commit(bool bImageChanged);
    // After undo or redo: a step taken marks the document modified and is announced.
    bool Stepped(bool bStepped);
};
