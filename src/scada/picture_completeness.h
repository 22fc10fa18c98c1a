#pragma once
// Whether a picture file holds all of its (first) image. Qt decodes a GIF
// whose first frame stops early, or a PNG cut inside its data, without an
// error: the missing rows come out black. The file's own structure tells:
// a GIF's first image ends with its block terminator, a PNG with its IEND
// chunk, a JPEG with its end marker, a BMP is as long as its header says.
#include <QByteArray>

namespace ostrel {

// false only when the bytes are one of those formats and end before their
// image does; anything else (another format, damage Qt reports itself)
// counts as complete.
bool pictureComplete(const QByteArray& bytes);

} // namespace ostrel
