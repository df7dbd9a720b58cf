// Copy, cut and paste of balloons through the system clipboard, so that they pass between
// windows and between running copies of the program. The clipboard holds the balloon's record
// exactly as the panel file stores it, in a type of our own, and a PNG of the balloon for other
// programs.
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <span>

#include "VelmoView.h"
#include "ViewCommands.h"
#include "framework/CommandIds.h"
#include "framework/MessageBox.h"
#include "model/FukiClipboard.h"
#include "model/VelmoDoc.h"
#include "render/PanelRenderer.h"

namespace {

const QString kFullPanelMessage =
    QStringLiteral("ふきだしは10個までです。これ以上貼り付けられません。");
const QString kDamagedMessage = QStringLiteral("クリップボードのふきだしを読み込めません。");
const QString kErrorCaption = QStringLiteral("エラー");
// Room around the balloon's outline for its border in the picture.
constexpr int kPictureMargin = 2;
// A picture larger than this on either side is not made (a balloon from a damaged file).
constexpr qint64 kMaxPictureSide = 8192;

// The balloon drawn alone at 100 %, on a transparent ground, as large as its body and tail.
QImage FukiPicture(const CFuki& fuki) {
    const qint64 left =
        std::min<qint64>({fuki.m_rcBody.left, fuki.m_rcBody.right, fuki.m_ptTail.x});
    const qint64 top = std::min<qint64>({fuki.m_rcBody.top, fuki.m_rcBody.bottom, fuki.m_ptTail.y});
    const qint64 right =
        std::max<qint64>({fuki.m_rcBody.left, fuki.m_rcBody.right, fuki.m_ptTail.x});
    const qint64 bottom =
        std::max<qint64>({fuki.m_rcBody.top, fuki.m_rcBody.bottom, fuki.m_ptTail.y});
    const qint64 margin = kPictureMargin + std::max<qint64>(std::abs(qint64(fuki.m_nBorderWidth)),
                                                            std::abs(qint64(fuki.m_nBorderHeight)));
    const qint64 width = right - left + 2 * margin;
    const qint64 height = bottom - top + 2 * margin;
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) {
        return QImage();
    }
    QImage picture(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    render::DrawFuki(painter, fuki, false, 100, int(margin - left), int(margin - top));
    return picture;
}

QByteArray PngOf(const QImage& picture) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

} // namespace

const char* const CVelmoView::kFukiMimeType = "application/x-velmo-balloon";

void CVelmoView::RegisterClipboardCommands() {
    AddHandler(cmd::ID_EDIT_COPY, [this] {
        CancelDrag();
        CopySelectedFuki();
    });
    AddHandler(cmd::ID_EDIT_CUT, [this] {
        CancelDrag();
        // The copy is taken first; deleting is the one history step.
        if (CopySelectedFuki()) {
            editcmd::DeleteFuki(*this);
        }
    });
    AddHandler(cmd::ID_EDIT_PASTE, [this] {
        CancelDrag();
        PasteFuki();
    });
}

bool CVelmoView::CopySelectedFuki() {
    const CVelmoDoc* doc = GetDocument();
    const int slot = GetSelectedFuki();
    if (!doc || slot < 0) {
        return false;
    }
    const CFuki& fuki = doc->m_panel.m_fuki[static_cast<std::size_t>(slot)];
    const std::vector<std::uint8_t> record = FukiRecordBytes(fuki);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kFukiMimeType),
                  QByteArray(reinterpret_cast<const char*>(record.data()),
                             static_cast<qsizetype>(record.size())));
    const QImage picture = FukiPicture(fuki);
    if (!picture.isNull()) {
        data->setData(QStringLiteral("image/png"), PngOf(picture));
    }
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

void CVelmoView::PasteFuki() {
    CVelmoDoc* doc = GetDocument();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!doc || !data || !data->hasFormat(QString::fromLatin1(kFukiMimeType))) {
        return; // nothing of ours on the clipboard
    }
    const QByteArray bytes = data->data(QString::fromLatin1(kFukiMimeType));
    CFuki copied;
    if (!FukiFromRecordBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                       static_cast<std::size_t>(bytes.size())),
                             copied)) {
        fw::ProgramMessage(window(), kDamagedMessage, kErrorCaption);
        return;
    }
    const int slot = doc->PasteFuki(copied);
    if (slot < 0) {
        fw::ProgramMessage(window(), kFullPanelMessage, kErrorCaption);
        return;
    }
    m_nSelected = slot;
    ScrollToSelection();
    InvalidateView();
}
