// The main window's bars: the tool bar of nine buttons, the status bar with its message pane
// and the three key-state panes, and the View menu's toggles.
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "LockKeys.h"
#include "MainFrame.h"
#include "Resources.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"

namespace {

// The tool bar bitmap holds the button images side by side, 16 x 15 pixels each; a second one
// holds them at twice the density for screens that scale by 1.5 or more.
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 15;

QIcon ButtonIcon(const QImage& strip, const QImage& strip2x, int image) {
    QIcon icon(
        QPixmap::fromImage(strip.copy(image * kButtonWidth, 0, kButtonWidth, kButtonHeight)));
    if (!strip2x.isNull()) {
        QPixmap dense = QPixmap::fromImage(
            strip2x.copy(image * kButtonWidth * 2, 0, kButtonWidth * 2, kButtonHeight * 2));
        dense.setDevicePixelRatio(2.0);
        icon.addPixmap(dense);
    }
    return icon;
}

} // namespace

void CMainFrame::CreateToolBar() {
    m_pToolBar = new QToolBar(this);
    m_pToolBar->setObjectName(QString::number(cmd::ID_VIEW_TOOLBAR));
    m_pToolBar->setAccessibleName(QStringLiteral("ツール バー"));
    m_pToolBar->setMovable(true);
    m_pToolBar->setFloatable(true);
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_pToolBar->setIconSize(QSize(kButtonWidth, kButtonHeight));
    const QImage strip(QStringLiteral(":/toolbar.png"));
    const QImage strip2x(QStringLiteral(":/toolbar@2x.png"));
    int image = 0;
    for (int id : res::ToolBarButtons()) {
        if (id == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* action =
            m_pToolBar->addAction(ButtonIcon(strip, strip2x, image), m_strings.ToolTip(id));
        ++image;
        action->setToolTip(m_strings.ToolTip(id));
        action->setStatusTip(m_strings.Prompt(id));
        m_pRouter->Bind(action, id);
    }
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    // The button that shows the buttons a narrow window cannot hold.
    if (auto* more = m_pToolBar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(QStringLiteral("その他のボタン"));
    }

    AddHandler(cmd::ID_VIEW_TOOLBAR, [this] { m_pToolBar->setVisible(m_pToolBar->isHidden()); });
    AddCheck(cmd::ID_VIEW_TOOLBAR, [this] { return !m_pToolBar->isHidden(); });
    connect(m_pToolBar, &QToolBar::visibilityChanged, m_pRouter,
            &fw::CCommandRouter::UpdateActions);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QString::number(cmd::ID_VIEW_STATUS_BAR));
    // The message pane shows the highlighted item's prompt, otherwise the idle text.
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) {
        if (message.isEmpty()) {
            bar->showMessage(res::kIdleMessage);
        }
    });
    bar->showMessage(res::kIdleMessage);

    const std::pair<int, QString> panes[] = {{cmd::ID_INDICATOR_CAPS, QStringLiteral("CAP")},
                                             {cmd::ID_INDICATOR_NUM, QStringLiteral("NUM")},
                                             {cmd::ID_INDICATOR_SCRL, QStringLiteral("SCRL")}};
    for (const auto& [id, text] : panes) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QString::number(id));
        pane->setProperty("indicatorText", text);
        // Read by screen readers also while the lock is off and the pane is blank.
        pane->setAccessibleName(text);
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 12);
        bar->addPermanentWidget(pane);
        m_keyPanes.push_back(pane);
    }
    UpdateKeyStatePanes();
    qApp->installEventFilter(this);

    AddHandler(cmd::ID_VIEW_STATUS_BAR, [bar] { bar->setVisible(bar->isHidden()); });
    AddCheck(cmd::ID_VIEW_STATUS_BAR, [bar] { return !bar->isHidden(); });
}

void CMainFrame::UpdateKeyStatePanes() {
    const SLockKeys keys = QueryLockKeys();
    const bool on[] = {keys.bCaps, keys.bNum, keys.bScroll};
    for (std::size_t i = 0; i < m_keyPanes.size(); ++i) {
        // A pane shows its name while its lock is on and stays blank otherwise.
        m_keyPanes[i]->setText(on[i] ? m_keyPanes[i]->property("indicatorText").toString()
                                     : QString());
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyRelease:
    case QEvent::ApplicationActivate:
        UpdateKeyStatePanes();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
