#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <cstdint>

namespace samplesite {

/// The picture shapes the site's photos come in; the picture box fits each
/// one differently (bars left and right, above and below, or none).
enum class ImageShape {
    Wide,
    Tall,
    Square,
};

/// The image formats the site serves.
enum class ImageFormat {
    Png,
    Jpeg,
    Gif,
};

/// Pixel size of a shape: wide 480 x 240, tall 240 x 480, square 320 x 320.
QSize ShapeSize(ImageShape shape);

/// "wide", "tall" or "square", for file names.
const char* ShapeName(ImageShape shape);

/// File name extension without the dot: "png", "jpg" or "gif".
const char* FormatExtension(ImageFormat format);

/// HTTP content type: "image/png", "image/jpeg" or "image/gif".
const char* FormatContentType(ImageFormat format);

/// A landscape (sky, sun or moon, mountain ridges, water or meadow) of the
/// given shape; the same seed always gives the same pixels. Any thread.
QImage DrawLandscape(ImageShape shape, uint64_t seed);

/// `image` encoded in `format`; empty when no encoder is available (the JPEG
/// writer is a Qt plug-in). Any thread.
QByteArray EncodeImage(const QImage& image, ImageFormat format);

/// GIF89a with one LZW-compressed frame and a fixed palette of 216 colours
/// (six levels per channel, ordered dithering; palette colours stay exact).
/// Qt reads GIF but has no writer for it. Empty for a null image or a side
/// over 65535.
QByteArray EncodeGif(const QImage& image);

} // namespace samplesite
