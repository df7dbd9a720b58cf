#include "ShowPropView.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>

#include "PlayerSettings.h"
#include "ShowExportCommand.h"
#include "framework/CommandIds.h"
#include "framework/FwDocument.h"
#include "framework/MessageBox.h"
#include "framework/ShowPlayer.h"
#include "model/TextCodec.h"
#include "model/VelmoShowDoc.h"

namespace {

const QString kEmptyShow = QStringLiteral("ショーデータが空なので、ショーができません。");
const QString kFullShow = QStringLiteral("ショーデータがいっぱいなので、これ以上追加できません。");
const QString kErrorCaption = QStringLiteral("エラー");
const QString kPanelExtension = QStringLiteral(".vlm");

// Each entry keeps the name's stored bytes (code page 932), so that copying back writes every
// name exactly as it was read, whatever it shows as.
constexpr int kStoredNameRole = Qt::UserRole;

QListWidgetItem* MakeEntry(const std::string& storedName) {
    auto* item = new QListWidgetItem(QString::fromStdString(Cp932ToUtf8(storedName)));
    item->setData(kStoredNameRole, QByteArray::fromStdString(storedName));
    return item;
}

std::string StoredNameOf(const QListWidgetItem* item) {
    return item->data(kStoredNameRole).toByteArray().toStdString();
}

QListWidgetItem* SelectedItem(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

// The list box's order: without regard to case first, then by the characters themselves.
bool ListsBefore(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace

CShowPropView::CShowPropView(IPictureDecoder& decoder, QWidget* parent)
    : QWidget(parent), m_decoder(decoder) {
    CreateForm();
    connect(m_btnAdd, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_btnRemove, &QPushButton::clicked, this, [this] { OnRemove(); });
    connect(m_listAll, &QListWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_listShow, &QListWidget::itemDoubleClicked, this, [this] { OnRemove(); });
    AddHandler(cmd::ID_SLIDESHOW_MANUAL, [this] { OnPlay(true); });
    AddHandler(cmd::ID_SLIDESHOW_AUTO, [this] { OnPlay(false); });
    AddHandler(cmd::ID_SHOW_EXPORT, [this] { ExportShowCommand(this, GetDocument(), m_decoder); });
    // "繰り返し再生": remembered for the show file, read by the player when it plays it.
    AddHandler(cmd::ID_SLIDESHOW_LOOP,
               [this] { SetShowLooped(ShowPath(), !IsShowLooped(ShowPath())); });
    AddCheck(cmd::ID_SLIDESHOW_LOOP, [this] { return IsShowLooped(ShowPath()); });
}

QString CShowPropView::ShowPath() const {
    const CVelmoShowDoc* doc = GetDocument();
    return doc ? QString::fromStdString(doc->GetPathName()) : QString();
}

CShowPropView::~CShowPropView() = default;

CVelmoShowDoc* CShowPropView::GetDocument() const {
    fw::CDocument* shell = GetDocumentShell();
    return shell ? dynamic_cast<CVelmoShowDoc*>(&shell->Model()) : nullptr;
}

void CShowPropView::OnInitialUpdate() {
    CVelmoShowDoc* doc = GetDocument();
    m_listAll->clear();
    m_listShow->clear();
    if (!doc) {
        return;
    }
    const QString path = QString::fromStdString(doc->GetPathName());
    if (!path.isEmpty()) {
        FillAll(QFileInfo(path).absolutePath());
    }
    FillShow();
    m_listShow->setCurrentRow(0);
    connect(GetDocumentShell(), &fw::CDocument::modelChanged, this, &CShowPropView::FillShow,
            Qt::UniqueConnection);
}

void CShowPropView::FillShow() {
    const CVelmoShowDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    const int row = m_listShow->currentRow();
    m_listShow->clear();
    const CShowData& show = doc->m_show;
    for (int i = 0; i < show.NameCount(); ++i) {
        m_listShow->addItem(MakeEntry(show.m_strNames[static_cast<std::size_t>(i)]));
    }
    m_listShow->addItem(MakeEntry({}));
    m_listShow->setCurrentRow(std::min(row, m_listShow->count() - 1));
}

void CShowPropView::FillAll(const QString& folder) {
    // The folder is searched by name; the process's current directory is left alone.
    const QDir dir(folder);
    const QStringList files =
        dir.entryList({QStringLiteral("*.vlm")}, QDir::Files | QDir::Readable, QDir::NoSort);
    for (const QString& file : files) {
        // Only the exact lower-case extension is taken off: a.VLM is listed as a.VLM.
        const QString name =
            file.endsWith(kPanelExtension) ? file.chopped(kPanelExtension.size()) : file;
        // A show stores names in code page 932: a name it cannot hold could never be played.
        const auto stored = Utf8ToCp932Exact(name.toStdString());
        if (!name.isEmpty() && stored) {
            AddSorted(MakeEntry(*stored));
        }
    }
}

void CShowPropView::AddSorted(QListWidgetItem* item) {
    int row = 0;
    while (row < m_listAll->count() && !ListsBefore(item->text(), m_listAll->item(row)->text())) {
        ++row;
    }
    m_listAll->insertItem(row, item);
}

void CShowPropView::OnAdd() {
    CVelmoShowDoc* doc = GetDocument();
    const QListWidgetItem* chosen = SelectedItem(m_listAll);
    if (!doc || !chosen || chosen->text().isEmpty()) {
        return;
    }
    // Before the selected entry, which moves down and stays selected; with none selected, or
    // the empty last entry, at the end of the show.
    QListWidgetItem* before = SelectedItem(m_listShow);
    const int row = before ? m_listShow->row(before) : m_listShow->count() - 1;
    if (doc->InsertName(row, StoredNameOf(chosen)) == EShowListEdit::Full) {
        fw::ProgramMessage(this, kFullShow, kErrorCaption);
        return;
    }
    m_listShow->setCurrentRow(row + 1);
}

void CShowPropView::OnRemove() {
    CVelmoShowDoc* doc = GetDocument();
    QListWidgetItem* chosen = SelectedItem(m_listShow);
    if (!doc || !chosen) {
        return;
    }
    // The empty last entry is never part of the show: the document refuses it.
    const int row = m_listShow->row(chosen);
    if (doc->RemoveName(row) == EShowListEdit::Done) {
        m_listShow->setCurrentRow(row);
    }
}

void CShowPropView::OnPlay(bool bManual) {
    CVelmoShowDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    switch (doc->CheckPlay()) {
    case EShowPlayCheck::Unsaved:
        fw::RefuseUnsavedShow(this);
        return;
    case EShowPlayCheck::Empty:
        fw::ProgramMessage(this, kEmptyShow, kErrorCaption);
        return;
    case EShowPlayCheck::Playable:
        break;
    }
    if (fw::IShowPlayer* player = fw::ShowPlayer()) {
        player->PlayDocumentFile(QString::fromStdString(doc->GetPathName()), bManual);
    }
}
