#pragma once
// "エクスポート..." of the show window: the saved show written as an MP4, an animated WebP, a PDF
// handout or a folder of PNGs, chosen by the name typed in the save dialog, with a progress
// dialog that can cancel.
class QWidget;
class CVelmoShowDoc;
class IPictureDecoder;

void ExportShowCommand(QWidget* parent, CVelmoShowDoc* doc, IPictureDecoder& decoder);
