#include "FukiFont.h"

#include "DrawLimits.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <map>
#include <mutex>

#include "model/TextCodec.h"

namespace render {

namespace {

constexpr std::size_t kMaxFaceBytes = 31;
std::mutex g_faceMutex;
std::map<std::string, QString> g_resolvedFaces; // stored face -> face drawn

// The stored face cut to 31 bytes without splitting a double-byte character.
std::string FaceBytes(const std::string& face) {
    if (face.size() <= kMaxFaceBytes) {
        return face;
    }
    std::size_t n = 0;
    while (n < kMaxFaceBytes) {
        const auto c = static_cast<unsigned char>(face[n]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        const std::size_t len = lead ? 2 : 1;
        if (n + len > kMaxFaceBytes) {
            break;
        }
        n += len;
    }
    return face.substr(0, n);
}

} // namespace

QString DefaultGothicFace() {
    std::lock_guard lock(g_faceMutex);
    static QString face;
    if (face.isEmpty()) {
        static const char* const kCandidates[] = {
            "IPAGothic",    "IPAPGothic",  "IPAexGothic", "Noto Sans CJK JP",
            "Noto Sans JP", "TakaoGothic", "VL Gothic",   "Source Han Sans JP"};
        for (const char* candidate : kCandidates) {
            if (QFontDatabase::hasFamily(QString::fromLatin1(candidate))) {
                face = QString::fromLatin1(candidate);
                break;
            }
        }
        if (face.isEmpty()) {
            face = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        }
    }
    return face;
}

QString ResolveFukiFace(const std::string& faceCp932) {
    if (faceCp932.empty()) {
        return DefaultGothicFace();
    }
    {
        std::lock_guard lock(g_faceMutex);
        const auto it = g_resolvedFaces.find(faceCp932);
        if (it != g_resolvedFaces.end()) {
            return it->second;
        }
    }
    const QString face = QString::fromStdString(Cp932ToUtf8(FaceBytes(faceCp932)));
    const QString resolved = QFontDatabase::hasFamily(face) ? face : DefaultGothicFace();
    std::lock_guard lock(g_faceMutex);
    g_resolvedFaces.emplace(faceCp932, resolved);
    return resolved;
}

QStringList JapaneseFukiFaces() {
    const QString standard = DefaultGothicFace();
    QStringList faces{standard};
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
        if (family == standard || QFontDatabase::isPrivateFamily(family)) {
            continue;
        }
        const auto stored = Utf8ToCp932Exact(family.toStdString());
        if (stored && !stored->empty() && stored->size() <= kMaxFaceBytes) {
            faces << family;
        }
    }
    return faces;
}

bool IsFukiFaceInstalled(const std::string& faceCp932) {
    return !faceCp932.empty() &&
           QFontDatabase::hasFamily(QString::fromStdString(Cp932ToUtf8(FaceBytes(faceCp932))));
}

int FukiFontPixelSize(qint64 tenths, int zoom, int dpiY) {
    return FontPixelSize(tenths, zoom, dpiY);
}

QFont MakeFukiFont(const std::string& faceCp932, int pixelSize) {
    QFont font(ResolveFukiFace(faceCp932));
    font.setPixelSize(std::max(1, pixelSize));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

void WarmUpFonts() {
    QImage image(64, 32, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(MakeFukiFont({}, 20));
    painter.drawText(QPoint(0, 24), QStringLiteral("あA漢"));
}

} // namespace render
