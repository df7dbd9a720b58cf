// Form 160 of the show view, laid out in dialog units of its font as the form template places
// its controls: the two lists with their labels, "追加" and "削除" between them.
#include <algorithm>

#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "ShowPropView.h"

namespace {

// Dialog units of a font: horizontal units are a quarter of the average character width,
// vertical units an eighth of the character height.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        const QString alphabet =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        m_nBaseX = std::max(1, (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2);
        m_nBaseY = std::max(1, metrics.height());
    }
    QRect Rect(int x, int y, int cx, int cy) const { return {X(x), Y(y), X(cx), Y(cy)}; }

private:
    int X(int units) const { return units * m_nBaseX / 4; }
    int Y(int units) const { return units * m_nBaseY / 8; }
    int m_nBaseX = 1;
    int m_nBaseY = 1;
};

QListWidget* MakeList(QWidget* parent, int id, const QRect& rect) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::number(id));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setGeometry(rect);
    return list;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("-1"));
    // The text keeps its full width where the font is wider than the template's.
    label->setGeometry(rect.adjusted(0, 0, std::max(0, label->sizeHint().width() - rect.width()),
                                     std::max(0, label->sizeHint().height() - rect.height())));
    return label;
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text, const QRect& rect) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    button->setGeometry(rect);
    return button;
}

} // namespace

void CShowPropView::CreateForm() {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    setFont(font);
    const CDialogUnits du(this->font());

    MakeLabel(this, QStringLiteral("すべてのベルモ書類"), du.Rect(12, 12, 60, 8));
    m_listAll = MakeList(this, IDC_LIST_ALL, du.Rect(12, 24, 87, 111));
    m_listAll->setAccessibleName(QStringLiteral("すべてのベルモ書類"));
    m_btnAdd = MakeButton(this, IDC_ADD, QStringLiteral("追加"), du.Rect(103, 39, 43, 15));
    m_btnRemove = MakeButton(this, IDC_REMOVE, QStringLiteral("削除"), du.Rect(103, 59, 43, 15));
    MakeLabel(this, QStringLiteral("ベルモショーの内容"), du.Rect(150, 12, 58, 8));
    m_listShow = MakeList(this, IDC_LIST_SHOW, du.Rect(150, 24, 87, 111));
    m_listShow->setAccessibleName(QStringLiteral("ベルモショーの内容"));

    // The template's tab order: list 1025, "追加", "削除", list 1024.
    setTabOrder(m_listAll, m_btnAdd);
    setTabOrder(m_btnAdd, m_btnRemove);
    setTabOrder(m_btnRemove, m_listShow);
}
