#include "AccessibleNames.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "DialogWidgets.h"

namespace dlg {

namespace {

QString LabelText(QLayout* layout, int index) {
    if (index < 0 || index >= layout->count()) {
        return {};
    }
    QLayoutItem* item = layout->itemAt(index);
    const auto* label = item != nullptr ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    if (label == nullptr) {
        return {};
    }
    // "表示率(&Z) :" is read as "表示率".
    QString text = WithoutMnemonic(label->text());
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A)) ||
           text.endsWith(QLatin1Char(' '))) {
        text.chop(1);
    }
    return text;
}

// The layout among root's layouts that holds the widget, and the widget's index in it.
QLayout* LayoutHolding(QLayout* layout, QWidget* widget, int& index) {
    if (layout == nullptr) {
        return nullptr;
    }
    const int own = layout->indexOf(widget);
    if (own >= 0) {
        index = own;
        return layout;
    }
    for (int i = 0; i < layout->count(); ++i) {
        if (QLayout* child = layout->itemAt(i)->layout()) {
            if (QLayout* found = LayoutHolding(child, widget, index)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace

void NameFieldsFromLabels(QWidget* dialog) {
    for (QWidget* field : dialog->findChildren<QWidget*>()) {
        const bool isField =
            qobject_cast<QLineEdit*>(field) || qobject_cast<QPlainTextEdit*>(field) ||
            qobject_cast<QAbstractSpinBox*>(field) || qobject_cast<QAbstractItemView*>(field);
        if (!isField || !field->accessibleName().isEmpty()) {
            continue;
        }
        int index = -1;
        QLayout* layout = nullptr;
        for (QWidget* w = field->parentWidget(); w != nullptr && layout == nullptr;
             w = w->parentWidget()) {
            layout = LayoutHolding(w->layout(), field, index);
            if (w == dialog) {
                break;
            }
        }
        QString name;
        if (layout != nullptr) {
            name = LabelText(layout, index - 1);
            if (name.isEmpty()) {
                name = LabelText(layout, index + 1);
            }
        }
        if (name.isEmpty()) {
            // A field without a label is what its dialog is for ("セリフの編集...").
            name = dialog->windowTitle();
            while (name.endsWith(QLatin1Char('.'))) {
                name.chop(1);
            }
        }
        field->setAccessibleName(name);
        // A drop-down's list of choices is read with the drop-down's name.
        if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->view()) {
            combo->view()->setAccessibleName(name);
        }
    }
}

} // namespace dlg
