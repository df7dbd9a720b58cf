// Writes the sample show of examples/: three panels whose pictures lie beside them, with a few
// balloons each, and a show file listing them. Run by make-examples.sh.
#include <cstdio>
#include <string>
#include <vector>

#include "model/TextCodec.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"
#include "render/QtPictureDecoder.h"

namespace {

struct SBalloon {
    CRect rcBody;
    CPoint ptTail;
    int nTailSide;
    const char* text;
    COLORREF crFill;
};

struct SPanel {
    const char* name;
    const char* picture;
    COLORREF crBack;
    std::vector<SBalloon> balloons;
};

bool WritePanel(IPictureDecoder& decoder, const std::string& folder, const SPanel& description) {
    CVelmoDoc doc(decoder);
    doc.m_panel.m_crBack = description.crBack;
    CPanelImage& image = doc.m_panel.m_image;
    if (image.Import(folder + description.picture, decoder) != EImportResult::Imported) {
        std::fprintf(stderr, "cannot import %s\n", description.picture);
        return false;
    }
    // The picture fills the panel and is found again by its bare name beside the panel.
    image.m_rcBody = CRect{20, 20, 620, 470};
    image.m_strPath = description.picture;
    doc.m_panel.m_rcTotal = CRect{0, 0, 640, 490};
    for (const SBalloon& balloon : description.balloons) {
        const int slot = doc.m_panel.AddFuki();
        CFuki& fuki = doc.m_panel.m_fuki[static_cast<std::size_t>(slot)];
        fuki.m_rcBody = balloon.rcBody;
        fuki.m_ptTail = balloon.ptTail;
        fuki.m_nTailSide = balloon.nTailSide;
        fuki.m_crFill = balloon.crFill;
        fuki.m_nCornerWidth = 40;
        fuki.m_nCornerHeight = 40;
        fuki.m_strText = Utf8ToCp932(balloon.text).text;
    }
    const std::string path = folder + description.name + ".vlm";
    return doc.OnSaveDocument(path) == EDocOutcome::Saved;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER/\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const COLORREF white = MakeRgb(255, 255, 255);
    const std::vector<SPanel> panels = {
        {"01-beach",
         "beach.jpg",
         MakeRgb(255, 255, 255),
         {{CRect{60, 50, 300, 150}, CPoint{200, 260}, TAIL_BOTTOM, "いい天気だね！", white}}},
        {"02-hills",
         "hills.jpg",
         MakeRgb(30, 30, 30),
         {{CRect{340, 40, 600, 140}, CPoint{420, 250}, TAIL_BOTTOM, "あの丘まで歩こう。", white},
          {CRect{60, 300, 280, 380}, CPoint{300, 420}, TAIL_RIGHT, "遠いよ……",
           MakeRgb(255, 240, 200)}}},
        {"03-night",
         "night.jpg",
         MakeRgb(0, 0, 0),
         {{CRect{200, 330, 460, 430}, CPoint{470, 200}, TAIL_TOP, "おやすみなさい。", white}}},
    };
    render::CQtPictureDecoder decoder;
    CVelmoShowDoc show;
    for (const SPanel& panel : panels) {
        if (!WritePanel(decoder, folder, panel)) {
            return 1;
        }
        show.m_show.m_strNames[static_cast<std::size_t>(show.m_show.m_nCount++)] = panel.name;
    }
    return show.OnSaveDocument(folder + "sample.vls") == EDocOutcome::Saved ? 0 : 1;
}
