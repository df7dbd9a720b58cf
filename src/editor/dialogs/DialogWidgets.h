#pragma once
// Building blocks shared by the editor's dialogs: controls named by their template ids,
// sizes in dialog units, the OK / "キャンセル" column, and tab order.
#include <QList>
#include <QString>

class QBoxLayout;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace dlg {

// Horizontal dialog units in pixels for the widget's font (a quarter of the average width of
// the Latin letters, as dialog templates measure).
int DluX(const QWidget* widget, int units);
// Vertical dialog units in pixels (an eighth of the font's height).
int DluY(const QWidget* widget, int units);

// A one-line edit named by its control id, as wide as the template makes it.
QLineEdit* MakeEdit(QWidget* parent, int id, int widthDlu);
// A push button named by its control id.
QPushButton* MakeButton(QWidget* parent, int id, const QString& text);
QLabel* MakeLabel(QWidget* parent, const QString& text);
// A label that names a field: Alt and its mnemonic letter move the focus to buddy. The text
// gains the letter in the Japanese form, "横 ：" with 'W' becoming "横(&W) ：" (before the colon);
// a text that holds the letter itself ("X :") marks that letter instead.
QLabel* MakeLabel(QWidget* parent, const QString& text, QChar mnemonic, QWidget* buddy);
// The text with its mnemonic added as MakeLabel adds it.
QString WithMnemonic(const QString& text, QChar mnemonic);
// The text as read aloud or compared: the mnemonic marks "(&W)" and "&" taken out.
QString WithoutMnemonic(QString text);
// A multi-line edit for dialogue text in which Enter makes a new line and Tab moves on; wrapped
// lines with no scroll bars, or unwrapped lines with a vertical scroll bar.
QPlainTextEdit* MakeTextEdit(QWidget* parent, int id, int widthDlu, int heightDlu, bool wrap);

// The push button of a dialog with this control id.
QPushButton* Button(const QWidget* dialog, int id);

// The default button "OK" (id 1, accepts) above "キャンセル" (id 2, rejects), top-aligned.
QBoxLayout* MakeOkCancelColumn(QDialog* dialog);

// Caption, fixed size (the templates are not resizable) and the tab order of the template.
void FinishDialog(QDialog* dialog, const QString& caption, const QList<QWidget*>& tabOrder);

} // namespace dlg
