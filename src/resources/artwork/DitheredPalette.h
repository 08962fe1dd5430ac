#pragma once

#include <QImage>

namespace tevo {

// Converts a true-colour picture into an 8-bit palette picture (QImage::Format_Indexed8) of
// at most `colours` entries. The palette is chosen for the picture itself (a variance-based
// median cut of its colours), and the picture is mapped onto it with Floyd-Steinberg error
// diffusion, so that smooth gradients keep their smoothness instead of breaking into bands.
// Alpha is ignored: the result is opaque.
QImage ditheredPalette(const QImage& image, int colours = 256);

} // namespace tevo
