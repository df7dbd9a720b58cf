#pragma once
// The view of a show document: a form with every panel document of the show's folder on the
// left and the show's names in playing order on the right, with "追加" and "削除" between them,
// and the slideshow commands that play the saved show full screen. The show record in the
// document is the data: the right-hand list shows it, followed by one empty entry, and is filled
// again whenever the document announces a change; the buttons forward the user's choice to the
// document's list operations.
#include <QWidget>

#include "framework/View.h"

class CVelmoShowDoc;
class IPictureDecoder;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class CShowPropView : public QWidget, public fw::CView {
    Q_OBJECT
public:
    // Control ids of form 160, kept as the widgets' object names.
    static constexpr int IDC_REMOVE = 1021;
    static constexpr int IDC_ADD = 1022;
    static constexpr int IDC_LIST_SHOW = 1024;
    static constexpr int IDC_LIST_ALL = 1025;

    // The show's pictures are decoded by decoder when it is exported; it must outlive the view.
    explicit CShowPropView(IPictureDecoder& decoder, QWidget* parent = nullptr);
    ~CShowPropView() override;

    QWidget* GetWidget() override { return this; }
    // Fills the form once: the folder's panel documents, the show's names and the empty entry,
    // the first entry selected.
    void OnInitialUpdate() override;
    CVelmoShowDoc* GetDocument() const;

    // "追加": the selected panel document goes in just before the selected show entry.
    void OnAdd();
    // "削除": the selected show entry leaves the show; the empty entry cannot.
    void OnRemove();
    // "手動" / "自動": plays the saved show, once it is saved and holds names.
    void OnPlay(bool bManual);
    // The show file's path, or "" without a document.
    QString ShowPath() const;

    QListWidget* m_listAll = nullptr;  // list 1025, sorted
    QListWidget* m_listShow = nullptr; // list 1024, playing order, then the empty entry

private:
    // Form 160 (ShowPropForm.cpp).
    void CreateForm();
    void FillAll(const QString& folder);
    void AddSorted(QListWidgetItem* item);
    // The show's names and the empty entry, the current row kept where it can be.
    void FillShow();

    IPictureDecoder& m_decoder;
    QPushButton* m_btnAdd = nullptr;
    QPushButton* m_btnRemove = nullptr;
};
