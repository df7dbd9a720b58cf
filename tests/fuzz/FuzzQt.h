#pragma once
// The Qt application the drawing and decoding fuzz targets need (image plugins, fonts), made
// once, offscreen, with the picture decoder's allocation limit in force.
void EnsureFuzzGuiApplication();
