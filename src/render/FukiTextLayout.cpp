#include "FukiTextLayout.h"

#include <QCoreApplication>
#include <QThread>
#include <list>
#include <unordered_map>

#include "FukiLayoutParts.h"

namespace render {

namespace {

// Layouts kept per thread; a panel holds at most ten balloons, and the fitting of each tries a
// few sizes.
constexpr std::size_t kMaxLayouts = 256;

struct SRequestHash {
    std::size_t operator()(const SFukiTextRequest& r) const {
        return qHashMulti(0, r.m_strText, r.m_strFace, r.m_nPixelSize, r.m_bVertical,
                          r.m_nLineLength);
    }
};

// Least recently used first.
class CLayoutCache {
public:
    using LayoutPtr = std::shared_ptr<const SFukiTextLayout>;

    LayoutPtr Find(const SFukiTextRequest& request) {
        const auto it = m_index.find(request);
        if (it == m_index.end()) {
            return nullptr;
        }
        m_order.splice(m_order.end(), m_order, it->second);
        return it->second->second;
    }

    void Add(const SFukiTextRequest& request, LayoutPtr layout) {
        m_order.emplace_back(request, std::move(layout));
        m_index[request] = std::prev(m_order.end());
        while (m_order.size() > kMaxLayouts) {
            m_index.erase(m_order.front().first);
            m_order.pop_front();
        }
    }

    void Clear() {
        m_index.clear();
        m_order.clear();
    }

private:
    using Entry = std::pair<SFukiTextRequest, LayoutPtr>;
    std::list<Entry> m_order;
    std::unordered_map<SFukiTextRequest, std::list<Entry>::iterator, SRequestHash> m_index;
};

thread_local std::unique_ptr<CLayoutCache> t_layouts;

CLayoutCache& Layouts() {
    if (!t_layouts) {
        t_layouts = std::make_unique<CLayoutCache>();
        // The main thread's glyph runs hold fonts, released with the application.
        const QCoreApplication* app = QCoreApplication::instance();
        if (app != nullptr && app->thread() == QThread::currentThread()) {
            qAddPostRoutine([] { t_layouts.reset(); });
        }
    }
    return *t_layouts;
}

} // namespace

qreal ColumnPitch(int pixelSize) {
    return pixelSize * 1.5;
}

std::shared_ptr<const SFukiTextLayout> LayOutFukiText(const SFukiTextRequest& request) {
    CLayoutCache& cache = Layouts();
    if (auto found = cache.Find(request)) {
        return found;
    }
    auto layout = std::make_shared<SFukiTextLayout>();
    layout->m_nPixelSize = request.m_nPixelSize;
    if (request.m_nPixelSize > 0) {
        if (request.m_bVertical) {
            LayOutVertical(request, *layout);
        } else {
            LayOutHorizontal(request, *layout);
        }
    }
    for (const QRectF& line : layout->m_lines) {
        layout->m_rcExtent |= line;
    }
    cache.Add(request, layout);
    return layout;
}

void ClearFukiTextCache() {
    if (t_layouts) {
        t_layouts->Clear();
    }
}

} // namespace render
