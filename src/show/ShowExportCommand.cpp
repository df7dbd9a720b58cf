#include "ShowExportCommand.h"

#include "VideoSizeDialog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <string>
#include <vector>

#include "export/ShowExport.h"
#include "framework/MessageBox.h"
#include "framework/Prompter.h"
#include "framework/ShowPlayer.h"
#include "model/VelmoShowDoc.h"

namespace {

const QString kCaption = QStringLiteral("エクスポート");

} // namespace

void ExportShowCommand(QWidget* parent, CVelmoShowDoc* doc, IPictureDecoder& decoder) {
    if (doc == nullptr) {
        return;
    }
    // The saved file is exported, as it is played.
    if (doc->IsModified() || doc->GetPathName().empty()) {
        fw::RefuseUnsavedShow(parent);
        return;
    }
    if (doc->m_show.m_nCount <= 0) {
        fw::ProgramMessage(
            parent, QStringLiteral("ショーデータが空なので、エクスポートできません。"), kCaption);
        return;
    }
    fw::FileDialogRequest request;
    request.bSave = true;
    request.title = kCaption;
    request.filters = {QStringLiteral("MP4 (*.mp4)"), QStringLiteral("WebP (*.webp)"),
                       QStringLiteral("PDF (*.pdf)"),
                       QStringLiteral("PNG のフォルダ (拡張子なしの名前) (*)")};
    const QString chosen = fw::Prompter().ChooseFile(parent, request);
    if (chosen.isEmpty()) {
        return;
    }
    std::string target = chosen.toStdString();
    if (exporting::ShowFormatOf(target) == exporting::EShowFormat::Unknown &&
        QFileInfo(chosen).suffix().isEmpty()) {
        target += '/'; // a name without an extension: a folder of PNGs
    }
    if (exporting::ShowFormatOf(target) == exporting::EShowFormat::Unknown) {
        fw::ProgramMessage(parent,
                           QStringLiteral("%1 には書き出せません。対応する種類: %2")
                               .arg(QFileInfo(chosen).fileName(),
                                    QString::fromStdString(exporting::ShowFormatsText())),
                           kCaption);
        return;
    }

    exporting::SShowExportOptions options;
    const exporting::EShowFormat format = exporting::ShowFormatOf(target);
    if (format == exporting::EShowFormat::Mp4 || format == exporting::EShowFormat::Webp) {
        CVideoSizeDialog sizeDialog(parent);
        if (sizeDialog.exec() != QDialog::Accepted) {
            return;
        }
        options.nWidth = sizeDialog.FrameWidth();
        options.nHeight = sizeDialog.FrameHeight();
        options.nFps = sizeDialog.Fps();
    }

    QProgressDialog progress(QStringLiteral("エクスポートしています..."),
                             QStringLiteral("キャンセル"), 0, 1, parent);
    progress.setWindowTitle(kCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    std::vector<std::string> warnings;
    std::string error;
    const exporting::EExportOutcome outcome = exporting::ExportShow(
        decoder, doc->GetPathName(), target, options,
        [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        },
        [&warnings](const std::string& text) { warnings.push_back(text); }, error);
    progress.close();
    if (outcome == exporting::EExportOutcome::Failed) {
        fw::ProgramMessage(parent, QString::fromStdString(error), kCaption);
    } else if (outcome == exporting::EExportOutcome::Written && !warnings.empty()) {
        QString text = QStringLiteral("書き出しましたが、次の点に注意してください:");
        for (const std::string& warning : warnings) {
            text += QLatin1Char('\n') + QString::fromStdString(warning);
        }
        fw::ProgramMessage(parent, text, kCaption);
    }
}
