#include "FukiShaping.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QThread>
#include <hb-ot.h>
#include <hb.h>
#include <map>
#include <memory>

#include "FukiFont.h"

namespace render {

namespace {

constexpr qreal kUnitsPerPixel = 64; // HarfBuzz scale: 26.6 fixed point pixels

hb_blob_t* ReferenceTable(hb_face_t*, hb_tag_t tag, void* data) {
    const auto* raw = static_cast<const QRawFont*>(data);
    const char name[4] = {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag)};
    auto* bytes = new QByteArray(raw->fontTable(name));
    if (bytes->isEmpty()) {
        delete bytes;
        return nullptr;
    }
    return hb_blob_create(bytes->constData(), static_cast<unsigned>(bytes->size()),
                          HB_MEMORY_MODE_READONLY, bytes,
                          [](void* p) { delete static_cast<QByteArray*>(p); });
}

// One family's raw font and HarfBuzz face, made once per thread: Qt's font engines belong to
// the thread that made them.
struct SFace {
    QRawFont m_raw;
    hb_face_t* m_pFace = nullptr;
    ~SFace() { hb_face_destroy(m_pFace); }
};

class CFaceCache {
public:
    const SFace& Get(const QString& family) {
        auto it = m_faces.find(family);
        if (it == m_faces.end()) {
            auto face = std::make_unique<SFace>();
            QFont font = MakeFukiFont({}, 64);
            font.setFamily(family);
            face->m_raw = QRawFont::fromFont(font, QFontDatabase::Japanese);
            if (face->m_raw.isValid()) {
                face->m_pFace =
                    hb_face_create_for_tables(ReferenceTable, new QRawFont(face->m_raw),
                                              [](void* p) { delete static_cast<QRawFont*>(p); });
                hb_face_set_upem(face->m_pFace, static_cast<unsigned>(face->m_raw.unitsPerEm()));
            }
            it = m_faces.emplace(family, std::move(face)).first;
        }
        return *it->second;
    }
    void Clear() { m_faces.clear(); }

private:
    std::map<QString, std::unique_ptr<SFace>> m_faces;
};

thread_local std::unique_ptr<CFaceCache> t_faces;

CFaceCache& Faces() {
    if (!t_faces) {
        t_faces = std::make_unique<CFaceCache>();
        // The main thread's fonts go with the application, before Qt's font system does.
        const QCoreApplication* app = QCoreApplication::instance();
        if (app != nullptr && app->thread() == QThread::currentThread()) {
            qAddPostRoutine([] { t_faces.reset(); });
        }
    }
    return *t_faces;
}

} // namespace

QRawFont FukiRawFont(const QString& family, int pixelSize) {
    QRawFont raw = Faces().Get(family).m_raw;
    if (raw.isValid()) {
        raw.setPixelSize(pixelSize);
    }
    return raw;
}

std::vector<SShapedGlyph> ShapeFukiRun(const QString& family, int pixelSize, const QString& text,
                                       int start, int length, EShapeDirection direction) {
    std::vector<SShapedGlyph> glyphs;
    const SFace& face = Faces().Get(family);
    if (face.m_pFace == nullptr || length <= 0) {
        return glyphs;
    }
    hb_font_t* font = hb_font_create(face.m_pFace);
    const int scale = static_cast<int>(pixelSize * kUnitsPerPixel);
    hb_font_set_scale(font, scale, scale);
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text.utf16()),
                        static_cast<int>(text.size()), static_cast<unsigned>(start), length);
    const bool vertical = direction == EShapeDirection::TopToBottom;
    hb_buffer_set_direction(buffer, vertical ? HB_DIRECTION_TTB : HB_DIRECTION_LTR);
    hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
    hb_buffer_guess_segment_properties(buffer);
    hb_feature_t features[2] = {};
    hb_feature_from_string("vert", -1, &features[0]);
    hb_feature_from_string("vrt2", -1, &features[1]);
    hb_shape(font, buffer, features, vertical ? 2 : 0);

    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    glyphs.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        SShapedGlyph g;
        g.m_nGlyph = info[i].codepoint;
        g.m_nCluster = static_cast<int>(info[i].cluster);
        // HarfBuzz measures y upwards; vertical advances are negative.
        g.m_dAdvance = (vertical ? -pos[i].y_advance : pos[i].x_advance) / kUnitsPerPixel;
        g.m_dOffsetX = pos[i].x_offset / kUnitsPerPixel;
        g.m_dOffsetY = -pos[i].y_offset / kUnitsPerPixel;
        glyphs.push_back(g);
    }
    hb_buffer_destroy(buffer);
    hb_font_destroy(font);
    return glyphs;
}

} // namespace render
