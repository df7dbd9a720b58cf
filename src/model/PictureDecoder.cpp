#include "PictureDecoder.h"

namespace {
IPictureDecoder* g_decoder = nullptr;
}

void SetPictureDecoder(IPictureDecoder* decoder) {
    g_decoder = decoder;
}
IPictureDecoder* GetPictureDecoder() {
    return g_decoder;
}
