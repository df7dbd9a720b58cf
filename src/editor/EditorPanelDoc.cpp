#include "EditorPanelDoc.h"

#include <QGuiApplication>
#include <QScreen>

#include "DensePanel.h"
#include "VelmoView.h"
#include "model/Archive.h"
#include "render/DecodedPicture.h"
#include "render/PicturePreparation.h"

void CEditorPanelDoc::Serialize(CArchive& ar) {
    if (!ar.IsLoading()) {
        CVelmoDoc::Serialize(ar);
        return;
    }
    {
        render::CDeferredPictureCheck deferred;
        CVelmoDoc::Serialize(ar);
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    if (!render::PreparePicture(m_panel.m_image, DeviceZoom(CVelmoView::kFirstZoom, ratio))) {
        // The picture's one decode failed: the panel is as one whose picture could not be read,
        // also in its undo history.
        m_panel.m_image.m_bitmap.reset();
        ResetHistory();
    }
}
