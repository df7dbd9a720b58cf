#pragma once
// The view of a panel document: the panel painted at a zoom inside a scrolling area, with the
// editor's selection and drag state. Painting, zoom and scrolling, and printing each live in
// their own file; the editing commands and the mouse and keyboard handling in theirs.
#include <QAbstractScrollArea>
#include <QImage>

#include "PanelWindowImage.h"
#include "framework/View.h"
#include "model/LayerEdits.h"
#include "render/PanelRenderer.h"

class CVelmoDoc;
class QMenu;
class QPagedPaintDevice;

class CVelmoView : public QAbstractScrollArea, public fw::CView {
    Q_OBJECT
public:
    // m_nSelected: nothing, a balloon slot 0..9, or the picture.
    static constexpr int SEL_NONE = render::kSelectNone;
    static constexpr int SEL_PICTURE = render::kSelectPicture;
    using enum EDragMode;
    static constexpr int kMinZoom = ::kMinZoom;
    static constexpr int kMaxZoom = ::kMaxZoom;
    // The zoom a view opens at.
    static constexpr int kFirstZoom = 100;

    explicit CVelmoView(QWidget* parent = nullptr);
    ~CVelmoView() override;

    QWidget* GetWidget() override { return this; }
    // Sets the scroll extent from the panel's overall rectangle and starts following the
    // document's changes.
    void OnInitialUpdate() override;
    void OnUpdate() override;
    CVelmoDoc* GetDocument() const;

    // Zoom and scrolling (VelmoViewScroll.cpp).
    int GetZoom() const { return m_nZoom; }
    // Accepts kMinZoom to kMaxZoom (what the zoom dialog allows); updates the scroll extent and
    // repaints. Anything else changes nothing. The document is not touched.
    bool SetZoom(int zoom);
    // The extent is the overall rectangle scaled by the zoom: page = extent / 10, line =
    // page / 10.
    void UpdateScrollExtent();
    QSize GetScrollExtent() const { return m_sizeTotal; }
    QPoint GetScrollPosition() const;
    // Client (window) pixels to view coordinates: adds the scroll position.
    QPoint ClientToView(QPoint client) const;
    // View coordinates to client pixels: subtracts the scroll position.
    CRect ViewToClient(const CRect& view) const;

    // Painting (VelmoViewPaint.cpp). Repaints the whole window, strips included: every change of
    // what is shown ends here. The painted image is then brought up to the panel, the window and
    // the selection as they stand, drawing again only what changed (PanelWindowImage.h).
    void InvalidateView();
    // The paint procedure in view coordinates: background, picture, balloons by display
    // position, the selection marked. Used for the screen and the printer.
    void PaintPanel(QPainter& painter) const;
    // The colour of the strips right of and below the panel: the system's grey-text colour.
    static QColor GrayTextColor(const QPalette& palette);
    // The panel as last painted for the visible part of the window, one pixel per device pixel
    // (its device pixel ratio is the window's).
    const QImage& GetPanelImage() const { return m_panelImage.Image(); }
    // The enlarged picture layer kept in tiles (PictureTileCache.h); empty at other zooms.
    const CPictureTileCache& GetPictureTiles() const { return m_panelImage.Tiles(); }
    // How many times the panel image was drawn whole (not only its grab squares or a scroll).
    int GetWholeDrawings() const { return m_panelImage.WholeDrawings(); }
    // The window as the panel image is drawn for it now.
    SPanelWindow CurrentWindow() const;

    // Printing (VelmoViewPrint.cpp): one page holding the panel at its on-screen physical size,
    // scaled down to fit and centred, without the selection or the scroll offset, on a device at
    // the page resolution (editor::PreparePrinter).
    void PrintPage(QPagedPaintDevice& page) const;
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    // Export (VelmoViewExport.cpp): the panel as a picture or a PDF page.
    void OnFileExport();

    // Editing with the mouse and keys (VelmoViewMouse.cpp, VelmoViewKeys.cpp,
    // VelmoViewContextMenu.cpp) and the editing commands (VelmoViewCommands.cpp).
    // The front-most balloon whose body holds a view point, else the picture, else nothing.
    int HitTestBody(CPoint point) const;
    // The selected balloon's slot when it is in use, else -1.
    int GetSelectedFuki() const;
    // Ends a drag under way without applying it (before a command or a dialog takes over).
    void CancelDrag();
    // After the panel changed under the selection (undo, redo): a free slot or a picture that
    // is gone is no longer selected.
    void ValidateSelection();
    // Context menu 130, 136 or 150 with each item enabled where the view handles its id.
    void FillContextMenu(QMenu& menu, int menuId) const;
    // The context menu of the selection (130 with nothing selected) at a point of the screen;
    // the chosen command is carried out once the menu has closed.
    void ShowContextMenu(QPoint globalPos);

    // The keyboard (VelmoViewKeyboard.cpp): Tab and Shift+Tab move the selection through the
    // balloons in display order and the picture; the selection's context menu at its place.
    void CycleSelection(bool forward);
    void OpenSelectionContextMenu();

    // The clipboard (VelmoViewClipboard.cpp). The type that holds a balloon's record.
    static const char* const kFukiMimeType;
    // Puts the selected balloon on the clipboard; false when no balloon is selected.
    bool CopySelectedFuki();
    // Adds the clipboard's balloon to the panel and selects it; a full panel or a damaged record
    // is refused with a message.
    void PasteFuki();

    // The editor's interaction state.
    std::int32_t m_nSelected = SEL_NONE;
    std::int32_t m_nDragMode = DRAG_NONE;
    CPoint m_ptPress;
    CRect m_rcTrack;
    std::int32_t m_nHandle = 0;
    std::int32_t m_nZoom = kFirstZoom;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void OnLeftPress(CPoint point);
    void OnRightPress(CPoint point, QPoint globalPos);
    CPoint EventPoint(const QMouseEvent* event) const;
    // The drag under way, as the model computes its result.
    CDrag CurrentDrag() const;
    // The drag rectangle for the pointer at a view point, in client coordinates: the drag's
    // result, zoomed.
    CRect TrackRectAt(CPoint point) const;
    void MoveTrack(const CRect& rect);
    // The document changed: a selection it took away is dropped, a new overall size gives a new
    // scroll extent, and the panel is painted again.
    void OnModelChanged();
    void RegisterEditCommands();
    void RegisterClipboardCommands();
    // The arrow keys on the selection and the context-menu keys; false for any other key, and
    // for the arrows with nothing selected (they scroll).
    bool HandleKeyboardEdit(QKeyEvent* event);
    // The selected layer's zoomed body, empty with nothing selected.
    CRect SelectionRect() const;
    void ScrollToSelection();
    void SetScrollSizes(QSize extent);
    void UpdateScrollBars();
    void DrawTrackFrame(QPainter& painter) const;
    void RegisterPrintCommands();
    void RegisterExportCommands();
    void RegisterSlideshowCommands();

    QSize m_sizeTotal;
    bool m_bLayingOutBars = false; // UpdateScrollBars is laying the bars out
    CRect m_rcShownTotal;          // the overall rectangle the scroll extent was last set for
    // The panel as last painted for the visible part of the window, strips included; a drag
    // only draws its frame over it.
    CPanelWindowImage m_panelImage;
    // The image is brought up to date when asked (InvalidateView) or when the window moved or
    // changed size; otherwise a paint (a drag's frame) blits it as it is.
    bool m_bImageValid = false;
    SPanelWindow m_windowPainted;
    // A key opened the context menu: the window system's own request after it is not another.
    bool m_bKeyMenuShown = false;
};
