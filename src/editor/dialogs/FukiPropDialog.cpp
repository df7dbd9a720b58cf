#include "FukiPropDialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "DialogWidgets.h"
#include "FukiPreview.h"
#include "framework/Prompter.h"
#include "model/FukiStyle.h"
#include "model/TextCodec.h"
#include "render/FukiFont.h"
#include "render/FukiTextPlan.h"

namespace {

constexpr int kEditWidth = 36;

// A row "label [edit]" at (row, column) of a grid; Alt and the mnemonic reach the edit.
void AddField(QGridLayout* grid, QWidget* owner, int row, int column, const QString& label,
              QChar mnemonic, int id) {
    QLineEdit* edit = dlg::MakeEdit(owner, id, kEditWidth);
    grid->addWidget(dlg::MakeLabel(owner, label, mnemonic, edit), row, column);
    grid->addWidget(edit, row, column + 1);
}

QGroupBox* Group(QWidget* owner, const QString& title, QLayout* content) {
    auto* group = new QGroupBox(title, owner);
    group->setLayout(content);
    return group;
}

QCheckBox* MakeCheck(QWidget* owner, int id, const QString& text) {
    auto* check = new QCheckBox(text, owner);
    check->setObjectName(QString::number(id));
    return check;
}

// An edit's integer, or fallback when it does not read as one.
std::int32_t Lenient(const QLineEdit* edit, std::int32_t fallback) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

CFukiPropDialog::CFukiPropDialog(QWidget* parent) : CExchangeDialog(parent) {
    m_pPreview = new CFukiPreview(this);
    m_pFitNote = new QLabel(this);
    m_pFitNote->setObjectName(QStringLiteral("fitNote"));
    m_pFitNote->setWordWrap(true);
    auto* right = new QVBoxLayout;
    right->addWidget(MakeTextGroup());
    right->addWidget(MakeAutoShowGroup());
    right->addWidget(m_pPreview, 1);
    right->addWidget(m_pFitNote);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(MakeBalloonGroup());
    layout->addLayout(right);
    layout->addLayout(dlg::MakeOkCancelColumn(this));
    dlg::FinishDialog(this, QStringLiteral("ふきだしの詳細設定..."), TabOrder());
}

QGroupBox* CFukiPropDialog::MakeBalloonGroup() {
    auto* position = new QGridLayout;
    AddField(position, this, 0, 0, QStringLiteral("上 :"), u'T', 1000);
    AddField(position, this, 0, 2, QStringLiteral("左 :"), u'L', 1004);
    AddField(position, this, 1, 0, QStringLiteral("下 :"), u'B', 1001);
    AddField(position, this, 1, 2, QStringLiteral("右 :"), u'R', 1005);

    // In this group "縦 :" edits the corner ellipse's width and "横 :" its height.
    auto* corner = new QGridLayout;
    AddField(corner, this, 0, 0, QStringLiteral("縦 :"), u'C', 1006);
    AddField(corner, this, 1, 0, QStringLiteral("横 :"), u'N', 1007);

    m_pTailSide = new QComboBox(this);
    m_pTailSide->setObjectName(QStringLiteral("1003"));
    m_pTailSide->addItems(
        {QStringLiteral("上"), QStringLiteral("下"), QStringLiteral("左"), QStringLiteral("右")});
    auto* tail = new QGridLayout;
    AddField(tail, this, 0, 0, QStringLiteral("X :"), u'X', 1010);
    AddField(tail, this, 1, 0, QStringLiteral("Y :"), u'Y', 1011);
    tail->addWidget(dlg::MakeLabel(this, QStringLiteral("向き :"), u'D', m_pTailSide), 0, 2);
    tail->addWidget(m_pTailSide, 0, 3, 1, 2);
    AddField(tail, this, 1, 2, QStringLiteral("端1 :"), u'1', 1012);
    tail->addWidget(dlg::MakeLabel(this, QStringLiteral("%")), 1, 4);
    AddField(tail, this, 2, 2, QStringLiteral("端2 :"), u'2', 1013);
    tail->addWidget(dlg::MakeLabel(this, QStringLiteral("%")), 2, 4);

    // Here "縦 :" is the border's height and "横 :" its width.
    auto* border = new QGridLayout;
    AddField(border, this, 0, 0, QStringLiteral("縦 :"), u'H', 1008);
    AddField(border, this, 1, 0, QStringLiteral("横 :"), u'W', 1016);
    QPushButton* borderColor = dlg::MakeButton(this, 1015, QStringLiteral("色の変更"));
    border->addWidget(borderColor, 1, 2);
    QPushButton* fillColor = dlg::MakeButton(this, 1009, QStringLiteral("色の変更"));
    connect(borderColor, &QPushButton::clicked, this, [this] { ChooseColor(m_crBorderChosen); });
    connect(fillColor, &QPushButton::clicked, this, [this] { ChooseColor(m_crFillChosen); });

    auto* top = new QHBoxLayout;
    top->addWidget(Group(this, QStringLiteral("位置"), position));
    top->addWidget(Group(this, QStringLiteral("コーナー"), corner));
    top->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(Group(this, QStringLiteral("枝"), tail));
    middle->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Group(this, QStringLiteral("枠囲み"), border));
    bottom->addStretch(1);
    bottom->addWidget(fillColor, 0, Qt::AlignBottom);

    auto* balloon = new QVBoxLayout;
    balloon->addLayout(top);
    balloon->addLayout(middle);
    balloon->addLayout(bottom);
    return Group(this, QStringLiteral("ふきだし"), balloon);
}

QGroupBox* CFukiPropDialog::MakeTextGroup() {
    // The balloon's text wraps in this field; Enter makes a new line.
    m_pTextEdit = dlg::MakeTextEdit(this, 1014, 210, 36, true);
    auto* size = new QHBoxLayout;
    QLineEdit* sizeEdit = dlg::MakeEdit(this, 1017, kEditWidth);
    size->addWidget(sizeEdit);
    // The unit is the size's only label: "(0.1&pt)".
    size->addWidget(dlg::MakeLabel(this, QStringLiteral("(0.1pt)"), u'P', sizeEdit));
    size->addStretch(1);
    auto* text = new QVBoxLayout;
    text->addWidget(m_pTextEdit);
    text->addLayout(size);
    text->addLayout(MakeWritingRows());
    return Group(this, QStringLiteral("セリフ"), text);
}

QLayout* CFukiPropDialog::MakeWritingRows() {
    m_pFace = new QComboBox(this);
    m_pFace->setObjectName(QStringLiteral("1019"));
    m_pVertical = MakeCheck(this, 1020, QStringLiteral("縦書き"));
    m_pFit = MakeCheck(this, 1021, QStringLiteral("ふきだしに合わせる"));
    m_pOutline = MakeCheck(this, 1022, QStringLiteral("縁取り"));
    m_pOutlineWidth = dlg::MakeEdit(this, 1023, kEditWidth);
    QPushButton* outlineColor = dlg::MakeButton(this, 1024, QStringLiteral("色の変更"));
    connect(outlineColor, &QPushButton::clicked, this, [this] {
        ChooseColor(m_crOutlineChosen);
        UpdatePreview();
    });

    auto* face = new QHBoxLayout;
    face->addWidget(dlg::MakeLabel(this, QStringLiteral("書体 :"), u'F', m_pFace));
    face->addWidget(m_pFace, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_pVertical);
    checks->addWidget(m_pFit);
    checks->addStretch(1);
    auto* outline = new QHBoxLayout;
    outline->addWidget(m_pOutline);
    outline->addWidget(dlg::MakeLabel(this, QStringLiteral("幅 :"), u'I', m_pOutlineWidth));
    outline->addWidget(m_pOutlineWidth);
    outline->addWidget(dlg::MakeLabel(this, QStringLiteral("px")));
    outline->addWidget(outlineColor);
    outline->addStretch(1);
    auto* rows = new QVBoxLayout;
    rows->addLayout(face);
    rows->addLayout(checks);
    rows->addLayout(outline);
    return rows;
}

QGroupBox* CFukiPropDialog::MakeAutoShowGroup() {
    auto* wait = new QHBoxLayout;
    wait->addStretch(1);
    QLineEdit* waitEdit = dlg::MakeEdit(this, 1018, kEditWidth);
    wait->addWidget(dlg::MakeLabel(this, QStringLiteral("表示後の待ち時間 :"), u'A', waitEdit));
    wait->addWidget(waitEdit);
    wait->addWidget(dlg::MakeLabel(this, QStringLiteral("ｘ0.1秒")));
    wait->addStretch(1);
    return Group(this, QStringLiteral("自動表示"), wait);
}

QList<QWidget*> CFukiPropDialog::TabOrder() const {
    QList<QWidget*> order;
    for (int id : {1000, 1004, 1001, 1005, 1006, 1007, 1010, 1011}) {
        order << Edit(id);
    }
    order << m_pTailSide << Edit(1012) << Edit(1013) << Edit(1008) << Edit(1016)
          << dlg::Button(this, 1015) << dlg::Button(this, 1009) << m_pTextEdit << Edit(1017)
          << m_pFace << m_pVertical << m_pFit << m_pOutline << m_pOutlineWidth
          << dlg::Button(this, 1024) << Edit(1018) << dlg::Button(this, 1) << dlg::Button(this, 2);
    return order;
}

QLineEdit* CFukiPropDialog::Edit(int id) const {
    return findChild<QLineEdit*>(QString::number(id));
}

void CFukiPropDialog::ChooseColor(COLORREF& color) {
    COLORREF chosen = color;
    if (fw::Prompter().ChooseColor(this, chosen)) {
        color = chosen;
    }
}

void CFukiPropDialog::ShowFields() {
    const CFuki& f = m_fuki;
    const std::pair<int, std::int32_t> fields[] = {
        {1000, f.m_rcBody.top},   {1004, f.m_rcBody.left},   {1001, f.m_rcBody.bottom},
        {1005, f.m_rcBody.right}, {1006, f.m_nCornerWidth},  {1007, f.m_nCornerHeight},
        {1010, f.m_ptTail.x},     {1011, f.m_ptTail.y},      {1012, f.m_nTailBase1},
        {1013, f.m_nTailBase2},   {1008, f.m_nBorderHeight}, {1016, f.m_nBorderWidth},
        {1017, f.m_nFontSize},    {1018, f.m_nWait}};
    for (const auto& [id, value] : fields) {
        dlg::ShowInteger(Edit(id), value);
    }
    // A side outside the four (from a damaged file) shows no choice and is kept unless chosen.
    m_pTailSide->setCurrentIndex(f.m_nTailSide >= 0 && f.m_nTailSide < 4 ? f.m_nTailSide : -1);
    m_text.Show(m_pTextEdit, f.m_strText);
    m_crFillChosen = f.m_crFill;
    m_crBorderChosen = f.m_crBorder;
    ShowFace(f.m_strFontFace);
    const SFukiStyle style = GetFukiStyle(f);
    m_pVertical->setChecked(style.m_bVertical);
    m_pFit->setChecked(style.m_bFit);
    // An outline of width 0 draws nothing and is shown as none.
    m_bOutlineShown = style.m_bOutline && style.m_nOutlineWidth > 0;
    m_pOutline->setChecked(m_bOutlineShown);
    // A balloon that never had an outline offers a white one, 2 pixels wide.
    const bool never = !m_bOutlineShown && style.m_nOutlineWidth == 0 && style.m_crOutline == 0;
    dlg::ShowInteger(m_pOutlineWidth, never ? 2 : style.m_nOutlineWidth);
    m_crOutlineChosen = never ? MakeRgb(255, 255, 255) : style.m_crOutline;

    // The preview follows every field from now on.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        connect(edit, &QLineEdit::textChanged, this, &CFukiPropDialog::UpdatePreview,
                Qt::UniqueConnection);
    }
    connect(m_pTextEdit, &QPlainTextEdit::textChanged, this, &CFukiPropDialog::UpdatePreview,
            Qt::UniqueConnection);
    for (QComboBox* combo : {m_pTailSide, m_pFace}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &CFukiPropDialog::UpdatePreview,
                Qt::UniqueConnection);
    }
    for (QCheckBox* check : {m_pVertical, m_pFit, m_pOutline}) {
        connect(check, &QCheckBox::toggled, this, &CFukiPropDialog::UpdatePreview,
                Qt::UniqueConnection);
    }
    UpdatePreview();
}

void CFukiPropDialog::ShowFace(const std::string& face) {
    m_pFace->clear();
    const QStringList faces = render::JapaneseFukiFaces();
    // The first item stores no face: the default one.
    m_pFace->addItem(QStringLiteral("%1 (標準)").arg(faces.value(0)), QByteArray());
    int current = 0;
    for (qsizetype i = 1; i < faces.size(); ++i) {
        const std::string stored = Utf8ToCp932(faces[i].toStdString()).text;
        m_pFace->addItem(faces[i], QByteArray::fromStdString(stored));
        if (stored == face) {
            current = m_pFace->count() - 1;
        }
    }
    if (!face.empty() && current == 0) {
        // Not listed: kept as it is stored, drawn in the default face.
        const QString name = QString::fromStdString(Cp932ToUtf8(face));
        const QString label = render::IsFukiFaceInstalled(face)
                                  ? name
                                  : QStringLiteral("%1 (見つかりません)").arg(name);
        m_pFace->insertItem(1, label, QByteArray::fromStdString(face));
        current = 1;
    }
    m_pFace->setCurrentIndex(current);
}

CFuki CFukiPropDialog::FieldsAsBalloon() const {
    CFuki f;
    f.CopyFrom(m_fuki);
    const std::pair<int, std::int32_t*> fields[] = {
        {1000, &f.m_rcBody.top},   {1004, &f.m_rcBody.left},   {1001, &f.m_rcBody.bottom},
        {1005, &f.m_rcBody.right}, {1006, &f.m_nCornerWidth},  {1007, &f.m_nCornerHeight},
        {1010, &f.m_ptTail.x},     {1011, &f.m_ptTail.y},      {1012, &f.m_nTailBase1},
        {1013, &f.m_nTailBase2},   {1008, &f.m_nBorderHeight}, {1016, &f.m_nBorderWidth}};
    for (const auto& [id, member] : fields) {
        *member = Lenient(Edit(id), *member);
    }
    const std::int32_t size = Lenient(Edit(1017), f.m_nFontSize);
    f.m_nFontSize = size >= 1 && size <= 1000 ? size : f.m_nFontSize;
    if (m_pTailSide->currentIndex() >= 0) {
        f.m_nTailSide = m_pTailSide->currentIndex();
    }
    QString text = m_pTextEdit->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    f.m_strText = Utf8ToCp932(text.toStdString()).text;
    if (m_pFace->count() > 0) {
        f.m_strFontFace = m_pFace->currentData().toByteArray().toStdString();
    }
    f.m_crFill = m_crFillChosen;
    f.m_crBorder = m_crBorderChosen;
    SFukiStyle style = GetFukiStyle(f);
    style.m_bVertical = m_pVertical->isChecked();
    style.m_bFit = m_pFit->isChecked();
    if (m_pOutline->isChecked()) {
        const std::int32_t width = Lenient(m_pOutlineWidth, style.m_nOutlineWidth);
        style.m_bOutline = true;
        style.m_nOutlineWidth = width >= 1 && width <= kMaxFukiOutlineWidth ? width : 1;
        style.m_crOutline = m_crOutlineChosen;
    } else {
        style.m_bOutline = false;
    }
    SetFukiStyle(f, style);
    f.Normalize();
    return f;
}

void CFukiPropDialog::UpdatePreview() {
    const CFuki f = FieldsAsBalloon();
    m_pPreview->SetFuki(f);
    m_pOutlineWidth->setEnabled(m_pOutline->isChecked());
    dlg::Button(this, 1024)->setEnabled(m_pOutline->isChecked());
    if (render::FukiTextFits(f)) {
        m_pFitNote->clear();
    } else if (GetFukiStyle(f).m_bFit) {
        m_pFitNote->setText(QStringLiteral(
            "セリフは6ptまで縮めてもふきだしに収まりません。はみ出す部分は表示されません。"));
    } else {
        m_pFitNote->setText(QStringLiteral("セリフがふきだしに収まりません。"));
    }
}

bool CFukiPropDialog::TakeFields() {
    CFuki taken;
    taken.CopyFrom(m_fuki);
    const std::pair<int, std::int32_t*> edges[] = {
        {1001, &taken.m_rcBody.bottom}, {1000, &taken.m_rcBody.top},
        {1010, &taken.m_ptTail.x},      {1011, &taken.m_ptTail.y},
        {1004, &taken.m_rcBody.left},   {1005, &taken.m_rcBody.right},
        {1006, &taken.m_nCornerWidth},  {1007, &taken.m_nCornerHeight}};
    for (const auto& [id, member] : edges) {
        if (!dlg::ReadInteger(this, Edit(id), *member)) {
            return false;
        }
    }
    if (m_pTailSide->currentIndex() >= 0) {
        taken.m_nTailSide = m_pTailSide->currentIndex();
    }
    // Both tail bases must read as integers before either range is checked.
    if (!dlg::ReadInteger(this, Edit(1012), taken.m_nTailBase1) ||
        !dlg::ReadInteger(this, Edit(1013), taken.m_nTailBase2) ||
        !dlg::CheckRange(this, Edit(1012), taken.m_nTailBase1, 0, 100) ||
        !dlg::CheckRange(this, Edit(1013), taken.m_nTailBase2, 0, 100)) {
        return false;
    }
    if (!m_text.Read(this, m_pTextEdit, taken.m_strText) ||
        !dlg::ReadInteger(this, Edit(1017), taken.m_nFontSize, 1, 1000) ||
        !dlg::ReadInteger(this, Edit(1008), taken.m_nBorderHeight) ||
        !dlg::ReadInteger(this, Edit(1016), taken.m_nBorderWidth) ||
        !dlg::ReadInteger(this, Edit(1018), taken.m_nWait)) {
        return false;
    }
    // Only the choices the user changed are stored: the words keep every other bit.
    SFukiStyle style = GetFukiStyle(taken);
    if (m_pOutline->isChecked()) {
        std::int32_t width = 0;
        if (!dlg::ReadInteger(this, m_pOutlineWidth, width, 1, kMaxFukiOutlineWidth)) {
            return false;
        }
        if (!m_bOutlineShown || width != style.m_nOutlineWidth ||
            m_crOutlineChosen != style.m_crOutline) {
            style.m_bOutline = true;
            style.m_nOutlineWidth = width;
            style.m_crOutline = m_crOutlineChosen;
        }
    } else if (m_bOutlineShown) {
        style.m_bOutline = false;
    }
    style.m_bVertical = m_pVertical->isChecked();
    style.m_bFit = m_pFit->isChecked();
    SetFukiStyle(taken, style);
    if (m_pFace->count() > 0) {
        taken.m_strFontFace = m_pFace->currentData().toByteArray().toStdString();
    }
    taken.m_crFill = m_crFillChosen;
    taken.m_crBorder = m_crBorderChosen;
    m_fuki.CopyFrom(taken);
    return true;
}
