#pragma once
// The picture decoders report damaged files on Qt's message channel ("libpng error: IDAT: CRC
// error", "Corrupt JPEG data: …"), which prints them on standard error. The program tells of a
// picture it cannot decode in its own words, so these messages are taken off that channel:
// counted here and never printed. Every other message passes on unchanged.
namespace render {

// Installs the filter in front of the current message handler (once per process).
void InstallDecoderMessageFilter();
// How many decoder messages the filter has taken, from any thread.
int FilteredDecoderMessages();
// Counts a message a decoder kept to itself (the JPEG decoder's own error manager).
void CountDecoderMessage();

} // namespace render
