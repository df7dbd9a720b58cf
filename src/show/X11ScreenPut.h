#pragma once
// The player's screens put to its X window straight from shared memory (MIT-SHM): each
// screen-sized image the player draws on lives in a segment the X server reads, so that showing
// the canvas copies it once, on the server, into the window. The window then paints natively:
// Qt keeps no backing-store image of the size of the screen for it and makes no copy of the
// canvas. Available only on X11 with a server offering MIT-SHM and a 24-bit true-colour screen
// of 32-bit pixels in the canvas's byte order; elsewhere (offscreen, Wayland) the window paints
// with QPainter as any other.
#include <QImage>
#include <QRect>
#include <QSize>
#include <memory>

class CX11ScreenPut {
public:
    // Null when the application does not run on such an X server.
    static std::unique_ptr<CX11ScreenPut> Open();
    // Detaches every segment from the server; images still held keep their pixels.
    ~CX11ScreenPut();
    CX11ScreenPut(const CX11ScreenPut&) = delete;
    CX11ScreenPut& operator=(const CX11ScreenPut&) = delete;

    // A screen-sized RGB32 image in a segment the server reads; a plain large image when no
    // segment can be made or attached. Safe on any thread.
    QImage NewScreen(QSize size);
    // Whether the image's pixels are in a segment the server reads (the put is then a copy on
    // the server alone).
    bool IsShared(const QImage& image) const;
    // Puts the part rc of the image (RGB32, rows without padding) into the window with its top
    // left corner at target: from its segment where it has one, otherwise sent in requests.
    void Put(unsigned window, const QImage& image, const QRect& rc, QPoint target);
    // Fills the part rc of the window with black.
    void FillBlack(unsigned window, const QRect& rc);
    // Sends what was put to the server.
    void Flush();

private:
    struct SState;
    explicit CX11ScreenPut(std::shared_ptr<SState> state);
    // The graphics context for the window; called with the state's mutex held.
    unsigned GcLocked(unsigned window);
    void PutPlain(unsigned window, const QImage& image, const QRect& rc, QPoint target);

    std::shared_ptr<SState> m_state;
};
