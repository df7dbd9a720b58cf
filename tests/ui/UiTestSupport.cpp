#include "UiTestSupport.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMdiArea>
#include <QMenu>

#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/CommandRouter.h"
#include "framework/FwDocument.h"
#include "framework/MDIChildWnd.h"
#include "model/VelmoDoc.h"

namespace uitest {

QString CScriptedPrompter::ChooseFile(QWidget*, const fw::FileDialogRequest& request) {
    m_fileRequests.push_back(request);
    if (m_files.empty()) {
        return {};
    }
    QString answer = m_files.front();
    m_files.pop_front();
    return answer;
}

bool CScriptedPrompter::ChooseColor(QWidget*, COLORREF& color) {
    if (m_colors.empty()) {
        return false;
    }
    const auto [ok, chosen] = m_colors.front();
    m_colors.pop_front();
    if (ok) {
        color = chosen;
    }
    return ok;
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
        if (!m_answers.empty()) {
            const fw::EMsgResult answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
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

void HonourFilePermissions() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0) {
        return;
    }
    const auto drop = [&data](int cap) { data[cap / 32].effective &= ~(1u << (cap % 32)); };
    drop(CAP_DAC_OVERRIDE);
    drop(CAP_DAC_READ_SEARCH);
    drop(CAP_FOWNER);
    syscall(SYS_capset, &header, data);
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

CMainFrame* MainFrameOf(CVelmoApp& app) {
    return app.MainFrame();
}

fw::CDocument* ActiveDocument(CVelmoApp& app) {
    fw::CMDIChildWnd* frame = app.MainFrame()->ActiveFrame();
    return frame ? frame->GetDocument() : nullptr;
}

CVelmoView* ActiveView(CVelmoApp& app) {
    fw::CMDIChildWnd* frame = app.MainFrame()->ActiveFrame();
    return frame ? dynamic_cast<CVelmoView*>(frame->GetView()) : nullptr;
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

bool WritePanel(const QString& path, int width, int height, unsigned background,
                const QString& picture) {
    CVelmoDoc doc;
    doc.m_panel.m_rcTotal = CRect{0, 0, width, height};
    doc.m_panel.m_crBack = background;
    if (!picture.isEmpty() &&
        doc.m_panel.m_image.Import(picture.toStdString()) != EImportResult::Imported) {
        return false;
    }
    return doc.OnSaveDocument(path.toStdString()) == EDocOutcome::Saved;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

namespace {

void DescribeInto(const QMenu* menu, QStringList& out) {
    const QList<QAction*> actions = menu->actions();
    for (const QAction* action : actions) {
        if (action->property("velmoDynamicItem").toBool()) {
            continue;
        }
        if (action->isSeparator()) {
            out << QStringLiteral("-");
        } else if (action->menu()) {
            out << QLatin1Char('>') + action->text();
            DescribeInto(action->menu(), out);
            out << QStringLiteral("<");
        } else {
            out << QStringLiteral("%1|%2")
                       .arg(fw::CCommandRouter::IdOf(action))
                       .arg(action->text());
        }
    }
}

} // namespace

QStringList Describe(const QMenu* menu) {
    QStringList out;
    DescribeInto(menu, out);
    return out;
}

QAction* FindAction(const QMenu* menu, int id) {
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (!action->property("velmoDynamicItem").toBool() && !action->isSeparator() &&
            fw::CCommandRouter::IdOf(action) == id) {
            return action;
        }
        if (action->menu()) {
            if (QAction* inner = FindAction(action->menu(), id)) {
                return inner;
            }
        }
    }
    return nullptr;
}

} // namespace uitest
