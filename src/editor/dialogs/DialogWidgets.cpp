#include "DialogWidgets.h"

#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace dlg {

int DluX(const QWidget* widget, int units) {
    static const QString kLetters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int total = widget->fontMetrics().horizontalAdvance(kLetters);
    const int base = (total / 26 + 1) / 2; // average letter width, rounded
    return units * base / 4;
}

int DluY(const QWidget* widget, int units) {
    return units * widget->fontMetrics().height() / 8;
}

QLineEdit* MakeEdit(QWidget* parent, int id, int widthDlu) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setFixedWidth(DluX(edit, widthDlu));
    return edit;
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    return button;
}

QPushButton* Button(const QWidget* dialog, int id) {
    return dialog->findChild<QPushButton*>(QString::number(id));
}

QLabel* MakeLabel(QWidget* parent, const QString& text) {
    return new QLabel(text, parent);
}

QString WithMnemonic(const QString& text, QChar mnemonic) {
    // A Latin letter of the text itself is marked where it stands ("&X :", "(0.1&pt)").
    const qsizetype own = text.indexOf(mnemonic, 0, Qt::CaseInsensitive);
    if (own >= 0) {
        return text.left(own) + QLatin1Char('&') + text.mid(own);
    }
    // Otherwise "(&W)" goes after the words, before a trailing colon and the spaces before it.
    qsizetype end = text.size();
    const auto isTail = [](QChar c) {
        return c == QLatin1Char(':') || c == QChar(0xFF1A) || c == QLatin1Char(' ');
    };
    while (end > 0 && isTail(text[end - 1])) {
        --end;
    }
    return text.left(end) + QStringLiteral("(&") + mnemonic.toUpper() + QLatin1Char(')') +
           text.mid(end);
}

QString WithoutMnemonic(QString text) {
    static const QRegularExpression kMark(QStringLiteral("\\(&[^)]\\)"));
    text.remove(kMark);
    text.remove(QLatin1Char('&'));
    return text;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QChar mnemonic, QWidget* buddy) {
    auto* label = new QLabel(WithMnemonic(text, mnemonic), parent);
    label->setBuddy(buddy);
    return label;
}

QPlainTextEdit* MakeTextEdit(QWidget* parent, int id, int widthDlu, int heightDlu, bool wrap) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setTabChangesFocus(true);
    edit->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    edit->setFixedSize(DluX(edit, widthDlu), DluY(edit, heightDlu));
    return edit;
}

QBoxLayout* MakeOkCancelColumn(QDialog* dialog) {
    QPushButton* ok = MakeButton(dialog, 1, QStringLiteral("OK"));
    QPushButton* cancel = MakeButton(dialog, 2, QStringLiteral("キャンセル"));
    ok->setDefault(true);
    ok->setFixedWidth(DluX(dialog, 50));
    cancel->setFixedWidth(DluX(dialog, 50));
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* column = new QVBoxLayout;
    column->addWidget(ok);
    column->addWidget(cancel);
    column->addStretch(1);
    return column;
}

void FinishDialog(QDialog* dialog, const QString& caption, const QList<QWidget*>& tabOrder) {
    dialog->setWindowTitle(caption);
    dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
    QWidget* previous = nullptr;
    for (QWidget* widget : tabOrder) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        } else {
            // A dialog opens with the focus on the first control of its tab order.
            widget->setFocus(Qt::OtherFocusReason);
        }
        previous = widget;
    }
}

} // namespace dlg
