#pragma once
// The panel as the view's window shows it, kept as one image of device pixels: the strips
// beyond the panel, the picture layer (from tiles where the picture is enlarged), the balloons,
// and the selection's grab squares. Everything but the squares is drawn again only when what
// its pixels depend on changed (the panel's drawn fields, the zoom, the device pixel ratio, the
// window's place and size, the strip colours); a change of the selection alone puts back the
// pixels kept from under the old squares and fills the new ones. Where a balloon in front of
// the selection may cover one of its squares, the squares are drawn in their place among the
// balloons instead, and the image is drawn whole again when the selection changes.
//
// The image is always exactly DrawWhole's drawing of the same state.
#include <QColor>
#include <QImage>
#include <QRect>
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "PictureTileCache.h"
#include "model/Panel.h"
#include "render/PanelRenderer.h"

// The window of the view over the panel.
struct SPanelWindow {
    int nZoom = 100;    // the view's zoom
    qreal dRatio = 1.0; // the device pixel ratio
    QRect rcArea;       // the window on the panel drawn at the device zoom, in device pixels
    QSize sizeExtent;   // the scroll extent in device pixels: the strips lie beyond it
    QColor crBase;      // the window's base colour, under everything
    QColor crGray;      // the strips' colour
    bool operator==(const SPanelWindow&) const = default;
};

class CPanelWindowImage {
public:
    // What Render had to do.
    enum class EWork {
        None,  // the image already showed that state
        Marks, // only the grab squares were put back and filled
        Whole, // the image was drawn whole
    };

    // Brings the image to the panel (null: no document, only the strips and the base colour)
    // shown in the window with a selection.
    EWork Render(const CPanel* panel, const SPanelWindow& window, int selected);
    // After a scroll of a window drawn from tiles, to a place that still overlaps it: the kept
    // pixels moved, only the uncovered strips drawn. False (nothing done) where Render must
    // draw the whole; after true, Render still brings the selection's squares.
    bool Scroll(const CPanel& panel, const SPanelWindow& window);
    // The image drawn without anything kept: the strips, the panel and the selection's squares
    // for the window (the picture layer from tiles, which are drawn where they are missing).
    // True when the picture layer came from the tiles.
    static bool DrawWhole(QImage& image, const CPanel* panel, const SPanelWindow& window,
                          int selected, CPictureTileCache& tiles);

    // One pixel per device pixel; its device pixel ratio is the window's.
    const QImage& Image() const { return m_img; }
    const CPictureTileCache& Tiles() const { return m_tiles; }
    // How many times the image was drawn whole since it was made.
    int WholeDrawings() const { return m_nWholeDrawings; }

private:
    // What the pixels other than the grab squares depend on.
    struct SKey {
        bool bPanel = false;
        SPanelWindow window;
        std::weak_ptr<const CDecodedPicture> picture;
        CLayerItem pictureLayer;
        CRect rcTotal;
        COLORREF crBack = 0;
        std::array<CFuki, kFukiSlots> fuki;
    };
    static SKey KeyOf(const CPanel* panel, const SPanelWindow& window);
    // Equal in everything but the place of the window (its size included).
    static bool SameDrawing(const SKey& a, const SKey& b);
    // The selection's squares in image pixels when they are the last thing drawn over their
    // pixels; nothing when a balloon in front may cover one of them.
    std::optional<std::vector<QRect>> SquaresOnTop(const CPanel* panel, const SPanelWindow& window,
                                                   int selected) const;
    void FillSquares(const std::vector<QRect>& squares);
    void RestoreUnderSquares();

    QImage m_img;
    bool m_bValid = false;
    SKey m_key;
    bool m_bTiled = false; // drawn over the tiles
    // The selection whose squares are drawn in their place among the balloons; kSelectNone
    // when the image without its squares is the drawing of no selection.
    int m_nBaked = render::kSelectNone;
    int m_nMarked = render::kSelectNone; // the selection whose squares are filled over the image
    std::vector<std::pair<QRect, QImage>> m_under; // the pixels under them, in filling order
    CPictureTileCache m_tiles;
    int m_nWholeDrawings = 0;
};
