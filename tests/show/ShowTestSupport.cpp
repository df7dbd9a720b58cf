#include "ShowTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>

#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "framework/CommandRouter.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"

namespace showtest {

QString CScriptedPrompter::ChooseFile(QWidget*, const fw::FileDialogRequest& request) {
    m_requests.push_back(request);
    if (m_files.empty()) {
        return {};
    }
    QString answer = m_files.front();
    m_files.pop_front();
    return answer;
}

CPrompterScope::CPrompterScope() {
    auto prompter = std::make_unique<CScriptedPrompter>();
    m_pPrompter = prompter.get();
    fw::SetPrompter(std::move(prompter));
}

CPrompterScope::~CPrompterScope() {
    fw::SetPrompter(nullptr);
}

CMessageCapture::CMessageCapture() {
    fw::SetMessageHandler([this](const fw::MessageRequest& request) {
        m_requests.push_back(request);
        return request.buttons == fw::EMsgButtons::YesNoCancel ? fw::EMsgResult::Cancel
                                                               : fw::EMsgResult::Ok;
    });
}

CMessageCapture::~CMessageCapture() {
    fw::SetMessageHandler({});
}

QStringList CMessageCapture::Texts() const {
    QStringList texts;
    for (const auto& request : m_requests) {
        texts << request.text;
    }
    return texts;
}

QStringList CMessageCapture::Captions() const {
    QStringList captions;
    for (const auto& request : m_requests) {
        captions << request.caption;
    }
    return captions;
}

CFakePlayer::CFakePlayer() : m_pPrevious(fw::ShowPlayer()) {
    fw::SetShowPlayer(this);
}

CFakePlayer::~CFakePlayer() {
    fw::SetShowPlayer(m_pPrevious);
}

void CFakePlayer::PlayDocumentFile(const QString& path, bool bManual) {
    m_calls.push_back({path, bManual});
}

bool WritePanel(const QString& path, const CPanel& panel) {
    CVelmoDoc doc;
    doc.m_panel = panel;
    return doc.OnSaveDocument(path.toStdString()) == EDocOutcome::Saved;
}

CPanel MakePanel(int width, int height, COLORREF background, const QString& picture,
                 const CRect& body) {
    CPanel panel;
    panel.m_rcTotal = CRect{0, 0, width, height};
    panel.m_crBack = background;
    if (!picture.isEmpty() &&
        panel.m_image.Import(picture.toStdString()) == EImportResult::Imported) {
        panel.m_image.m_rcBody = body;
    }
    return panel;
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

std::unique_ptr<CVelmoApp> StartApp(const QStringList& files) {
    auto app = std::make_unique<CVelmoApp>();
    CVelmoApp::SStartup startup;
    startup.files = files;
    startup.bServeShellRequests = false;
    if (!app->InitInstance(startup)) {
        return nullptr;
    }
    return app;
}

bool Route(CVelmoApp& app, int id) {
    const bool routed = app.MainFrame()->Router().Route(id);
    Settle();
    return routed;
}

void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace showtest
