#pragma once
// Names for screen readers: a dialog's fields, lists and drop-downs take the text of the label
// beside them in their layout (the one before them, else the one after; without one, the
// dialog's title), unless they have a name already.
class QWidget;

namespace dlg {

void NameFieldsFromLabels(QWidget* dialog);

} // namespace dlg
