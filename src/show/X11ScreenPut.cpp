#include "X11ScreenPut.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <utility>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include "render/JpegScaledDecoder.h"

// The connection and the segments attached to the server, shared with each segment's image:
// an image let go after the player detaches from its own memory alone.
struct CX11ScreenPut::SState {
    std::mutex mutex;
    xcb_connection_t* pConnection = nullptr; // null once the player has detached
    xcb_gcontext_t gc = 0;
    xcb_window_t gcWindow = 0;
    // One row of the screen's width on the server, which fresh segments are read into.
    xcb_pixmap_t row = 0;
    xcb_gcontext_t rowGc = 0;
    int nRowWidth = 0;
    std::map<const uchar*, xcb_shm_seg_t> segments; // by the image's first pixel
};

namespace {

struct SSegment {
    std::weak_ptr<void> state; // the CX11ScreenPut::SState, typed away for the cleanup function
    void* pAddress = nullptr;
};

bool ServerFitsCanvas(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return false;
    }
    // Depth 24 in 32-bit pixels: the canvas's RGB32 rows as they are.
    bool bFormat = false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        bFormat = bFormat || (it.data->depth == 24 && it.data->bits_per_pixel == 32);
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (!bFormat || screen == nullptr || screen->root_depth != 24) {
        return false;
    }
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem;
         xcb_depth_next(&depth)) {
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
             xcb_visualtype_next(&visual)) {
            if (visual.data->visual_id == screen->root_visual) {
                return visual.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                       visual.data->red_mask == 0xFF0000 && visual.data->green_mask == 0xFF00 &&
                       visual.data->blue_mask == 0xFF;
            }
        }
    }
    return false;
}

} // namespace

std::unique_ptr<CX11ScreenPut> CX11ScreenPut::Open() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (connection == nullptr || !ServerFitsCanvas(connection)) {
        return nullptr;
    }
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_shm_id);
    if (extension == nullptr || !extension->present) {
        return nullptr;
    }
    xcb_shm_query_version_reply_t* version =
        xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr);
    if (version == nullptr) {
        return nullptr;
    }
    std::free(version);
    auto state = std::make_shared<SState>();
    state->pConnection = connection;
    return std::unique_ptr<CX11ScreenPut>(new CX11ScreenPut(std::move(state)));
}

CX11ScreenPut::CX11ScreenPut(std::shared_ptr<SState> state) : m_state(std::move(state)) {}

CX11ScreenPut::~CX11ScreenPut() {
    std::lock_guard lock(m_state->mutex);
    xcb_connection_t* connection = std::exchange(m_state->pConnection, nullptr);
    for (const auto& [bits, segment] : m_state->segments) {
        xcb_shm_detach(connection, segment);
    }
    m_state->segments.clear();
    if (m_state->gc != 0) {
        xcb_free_gc(connection, m_state->gc);
    }
    if (m_state->row != 0) {
        xcb_free_pixmap(connection, m_state->row);
        xcb_free_gc(connection, m_state->rowGc);
    }
    xcb_flush(connection);
}

QImage CX11ScreenPut::NewScreen(QSize size) {
    if (size.isEmpty()) {
        return {};
    }
    const std::size_t bytes = std::size_t(size.width()) * 4 * std::size_t(size.height());
    const int id = ::shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) {
        return render::NewLargeImage(size);
    }
    void* address = ::shmat(id, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        ::shmctl(id, IPC_RMID, nullptr);
        return render::NewLargeImage(size);
    }
    // The connection stays open while this object lives (the player's worker, the only other
    // thread making screens, ends first); the round trip is made without the lock, so that a
    // put on the user-interface thread does not wait for it.
    xcb_connection_t* connection = m_state->pConnection;
    const xcb_shm_seg_t segment = xcb_generate_id(connection);
    // Read-only for the server; checked, so that the segment can be marked for removal at once
    // (it goes when the last of the server and this process detaches, even after a crash).
    xcb_generic_error_t* error =
        xcb_request_check(connection, xcb_shm_attach_checked(connection, segment, id, 1));
    ::shmctl(id, IPC_RMID, nullptr);
    if (error != nullptr) {
        std::free(error);
        ::shmdt(address);
        return render::NewLargeImage(size);
    }
    std::unique_lock lock(m_state->mutex);
    m_state->segments.emplace(static_cast<const uchar*>(address), segment);
    // The server maps a segment's pages the first time it reads them, which costs several
    // times a whole put on some machines: it reads the fresh segment now, row by row into a
    // row of its own, while this side draws the screen. By the time the screen is shown the
    // put is a copy alone (and the pages exist already when this side writes them).
    if (m_state->nRowWidth != size.width()) {
        const xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        if (m_state->row != 0) {
            xcb_free_pixmap(connection, m_state->row);
            xcb_free_gc(connection, m_state->rowGc);
        }
        m_state->row = xcb_generate_id(connection);
        m_state->rowGc = xcb_generate_id(connection);
        m_state->nRowWidth = size.width();
        xcb_create_pixmap(connection, 24, m_state->row, root->root, std::uint16_t(size.width()), 1);
        const std::uint32_t noExposures = 0;
        xcb_create_gc(connection, m_state->rowGc, m_state->row, XCB_GC_GRAPHICS_EXPOSURES,
                      &noExposures);
    }
    for (int y = 0; y < size.height(); ++y) {
        xcb_shm_put_image(connection, m_state->row, m_state->rowGc, std::uint16_t(size.width()),
                          std::uint16_t(size.height()), 0, std::uint16_t(y),
                          std::uint16_t(size.width()), 1, 0, 0, 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0,
                          segment, 0);
    }
    xcb_flush(connection);
    lock.unlock();
    auto* info = new SSegment{m_state, address};
    QImage image(
        static_cast<uchar*>(address), size.width(), size.height(), qsizetype(size.width()) * 4,
        QImage::Format_RGB32,
        [](void* data) {
            auto* segment = static_cast<SSegment*>(data);
            if (auto state = std::static_pointer_cast<SState>(segment->state.lock())) {
                std::lock_guard lock(state->mutex);
                const auto it = state->segments.find(static_cast<const uchar*>(segment->pAddress));
                if (it != state->segments.end() && state->pConnection != nullptr) {
                    xcb_shm_detach(state->pConnection, it->second);
                    xcb_flush(state->pConnection);
                }
                if (it != state->segments.end()) {
                    state->segments.erase(it);
                }
            }
            ::shmdt(segment->pAddress);
            delete segment;
        },
        info);
    return image;
}

bool CX11ScreenPut::IsShared(const QImage& image) const {
    std::lock_guard lock(m_state->mutex);
    return m_state->segments.count(image.constBits()) != 0;
}

unsigned CX11ScreenPut::GcLocked(unsigned window) {
    xcb_connection_t* connection = m_state->pConnection;
    if (m_state->gc == 0 || m_state->gcWindow != window) {
        if (m_state->gc != 0) {
            xcb_free_gc(connection, m_state->gc);
        }
        // Black for the fills; no exposure events for what is put.
        const std::uint32_t values[] = {0, 0};
        m_state->gc = xcb_generate_id(connection);
        m_state->gcWindow = window;
        xcb_create_gc(connection, m_state->gc, window,
                      XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    }
    return m_state->gc;
}

void CX11ScreenPut::Put(unsigned window, const QImage& image, const QRect& rc, QPoint target) {
    const QRect part = rc.intersected(image.rect());
    if (part.isEmpty() || image.format() != QImage::Format_RGB32 ||
        image.bytesPerLine() != qsizetype(image.width()) * 4) {
        return;
    }
    target += part.topLeft() - rc.topLeft();
    std::unique_lock lock(m_state->mutex);
    const auto it = m_state->segments.find(image.constBits());
    if (it == m_state->segments.end()) {
        lock.unlock();
        PutPlain(window, image, part, target);
        return;
    }
    xcb_shm_put_image(m_state->pConnection, window, GcLocked(window), std::uint16_t(image.width()),
                      std::uint16_t(image.height()), std::uint16_t(part.x()),
                      std::uint16_t(part.y()), std::uint16_t(part.width()),
                      std::uint16_t(part.height()), std::int16_t(target.x()),
                      std::int16_t(target.y()), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, it->second, 0);
}

void CX11ScreenPut::PutPlain(unsigned window, const QImage& image, const QRect& rc, QPoint target) {
    std::lock_guard lock(m_state->mutex);
    xcb_connection_t* connection = m_state->pConnection;
    const xcb_gcontext_t gc = GcLocked(window);
    // Rows in requests within the server's largest (in 4-byte units, the header left out) and
    // within 4 MB.
    const std::size_t most = std::min<std::size_t>(
        std::size_t(xcb_get_maximum_request_length(connection)) * 4 - 64, std::size_t(4) << 20);
    const std::size_t rowBytes = std::size_t(rc.width()) * 4;
    const int rows = int(std::max<std::size_t>(1, most / rowBytes));
    for (int y = rc.top(); y <= rc.bottom(); y += rows) {
        const int height = std::min(rows, rc.bottom() + 1 - y);
        const QImage band = image.copy(rc.x(), y, rc.width(), height);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, std::uint16_t(rc.width()),
                      std::uint16_t(height), std::int16_t(target.x()),
                      std::int16_t(target.y() + y - rc.top()), 0, 24,
                      std::uint32_t(band.sizeInBytes()), band.constBits());
    }
}

void CX11ScreenPut::FillBlack(unsigned window, const QRect& rc) {
    if (rc.isEmpty()) {
        return;
    }
    std::lock_guard lock(m_state->mutex);
    const xcb_rectangle_t rectangle{std::int16_t(rc.x()), std::int16_t(rc.y()),
                                    std::uint16_t(rc.width()), std::uint16_t(rc.height())};
    xcb_poly_fill_rectangle(m_state->pConnection, window, GcLocked(window), 1, &rectangle);
}

void CX11ScreenPut::Flush() {
    std::lock_guard lock(m_state->mutex);
    xcb_flush(m_state->pConnection);
}
