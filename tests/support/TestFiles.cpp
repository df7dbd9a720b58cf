#include "TestFiles.h"

#include <QFile>
#include <QImage>

#include "model/TextCodec.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"
#include "render/QtPictureDecoder.h"

namespace testsupport {

namespace {

bool ImportPicture(CPanel& panel, const QString& picture, const CRect& body) {
    // A decoder of its own: the picture it makes outlives it.
    render::CQtPictureDecoder decoder;
    if (panel.m_image.Import(picture.toStdString(), decoder) != EImportResult::Imported) {
        return false;
    }
    if (!body.IsEmpty()) {
        panel.m_image.m_rcBody = body;
    }
    return true;
}

CPanel BlankPanel(int width, int height, COLORREF background) {
    CPanel panel;
    panel.m_rcTotal = CRect{0, 0, width, height};
    panel.m_crBack = background;
    return panel;
}

} // namespace

CPanel MakePanel(int width, int height, COLORREF background, const QString& picture,
                 const CRect& body) {
    CPanel panel = BlankPanel(width, height, background);
    if (!picture.isEmpty()) {
        ImportPicture(panel, picture, body);
    }
    return panel;
}

bool WritePanel(const QString& path, const CPanel& panel) {
    render::CQtPictureDecoder decoder;
    CVelmoDoc doc(decoder);
    doc.m_panel = panel;
    return doc.OnSaveDocument(path.toStdString()) == EDocOutcome::Saved;
}

bool WritePanel(const QString& path, int width, int height, COLORREF background,
                const QString& picture) {
    CPanel panel = BlankPanel(width, height, background);
    if (!picture.isEmpty() && !ImportPicture(panel, picture, {})) {
        return false;
    }
    return WritePanel(path, panel);
}

bool WriteShow(const QString& path, const QStringList& names) {
    CVelmoShowDoc doc;
    for (const QString& name : names) {
        const auto stored = Utf8ToCp932Exact(name.toStdString());
        if (!stored || doc.m_show.m_nCount >= kMaxShowNames) {
            return false;
        }
        doc.m_show.m_strNames[static_cast<std::size_t>(doc.m_show.m_nCount++)] = *stored;
    }
    return doc.OnSaveDocument(path.toStdString()) == EDocOutcome::Saved;
}

bool WritePicture(const QString& path, QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image.save(path, nullptr, 95);
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace testsupport
