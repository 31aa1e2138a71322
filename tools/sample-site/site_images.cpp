#include "site_images.h"

#include "site_random.h"

#include <QBuffer>
#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace samplesite {

namespace {

// Six levels per channel: 0, 51, 102, 153, 204, 255.
constexpr int kLevels = 6;
constexpr int kPaletteEntries = 256; // 216 used, padded to the 8-bit table size
constexpr int kLzwMinCodeSize = 8;
constexpr uint32_t kClearCode = 1u << kLzwMinCodeSize;
constexpr uint32_t kEndCode = kClearCode + 1;
constexpr uint32_t kMaxCode = 4095; // 12-bit codes

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The level nearest to `value` after an ordered-dither offset of less than
// half a level either way, so gradients do not band and a colour that is
// already a palette colour stays exactly that colour.
int DitheredLevel(int value, int x, int y)
{
    const int threshold = kBayer4[y % 4][x % 4];
    const int scaled = value * (kLevels - 1) * 32 + 255 * (2 * threshold + 1);
    return std::min(kLevels - 1, scaled / (255 * 32));
}

void AppendLe16(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

// GIF packs codes least significant bit first.
class BitWriter
{
public:
    void Write(uint32_t code, int bits)
    {
        pending_ |= static_cast<uint64_t>(code) << pendingBits_;
        pendingBits_ += bits;
        while (pendingBits_ >= 8) {
            bytes_.append(static_cast<char>(pending_ & 0xFF));
            pending_ >>= 8;
            pendingBits_ -= 8;
        }
    }

    QByteArray Finish()
    {
        if (pendingBits_ > 0)
            bytes_.append(static_cast<char>(pending_ & 0xFF));
        pending_ = 0;
        pendingBits_ = 0;
        return bytes_;
    }

private:
    QByteArray bytes_;
    uint64_t pending_ = 0;
    int pendingBits_ = 0;
};

QByteArray LzwCompress(const std::vector<uint8_t>& indices)
{
    std::unordered_map<uint32_t, uint32_t> table;
    table.reserve(kMaxCode + 1);
    int codeSize = kLzwMinCodeSize + 1;
    uint32_t nextCode = kEndCode + 1;
    BitWriter out;
    out.Write(kClearCode, codeSize);
    if (indices.empty()) {
        out.Write(kEndCode, codeSize);
        return out.Finish();
    }
    uint32_t prefix = indices.front();
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const uint32_t key = (prefix << 8) | indices[i];
        const auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        out.Write(prefix, codeSize);
        table.emplace(key, nextCode);
        if (nextCode == (1u << codeSize) && codeSize < 12)
            ++codeSize;
        ++nextCode;
        if (nextCode > kMaxCode) {
            out.Write(kClearCode, codeSize);
            table.clear();
            codeSize = kLzwMinCodeSize + 1;
            nextCode = kEndCode + 1;
        }
        prefix = indices[i];
    }
    out.Write(prefix, codeSize);
    // A decoder widens its codes one table entry earlier than the encoder
    // does (it lags one code behind); match it for the end code.
    if (nextCode == (1u << codeSize) && codeSize < 12)
        ++codeSize;
    out.Write(kEndCode, codeSize);
    return out.Finish();
}

QColor RandomHsv(Rng& rng, int hueLow, int hueHigh, int satLow, int satHigh, int valLow, int valHigh)
{
    return QColor::fromHsv(rng.Between(hueLow, hueHigh) % 360, rng.Between(satLow, satHigh),
                           rng.Between(valLow, valHigh));
}

// One ridge line across the picture: a closed shape from the left edge to the
// right edge, filled down to the bottom.
QPainterPath Ridge(Rng& rng, int width, int height, double baseY, double amplitude)
{
    QPainterPath path;
    path.moveTo(0, height);
    const int steps = rng.Between(5, 11);
    for (int s = 0; s <= steps; ++s) {
        const double x = width * s / static_cast<double>(steps);
        const double y = baseY - amplitude * rng.Between(10, 100) / 100.0;
        path.lineTo(x, y);
    }
    path.lineTo(width, height);
    path.closeSubpath();
    return path;
}

} // namespace

QSize ShapeSize(ImageShape shape)
{
    switch (shape) {
    case ImageShape::Wide:
        return {480, 240};
    case ImageShape::Tall:
        return {240, 480};
    case ImageShape::Square:
        break;
    }
    return {320, 320};
}

const char* ShapeName(ImageShape shape)
{
    switch (shape) {
    case ImageShape::Wide:
        return "wide";
    case ImageShape::Tall:
        return "tall";
    case ImageShape::Square:
        break;
    }
    return "square";
}

const char* FormatExtension(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Png:
        return "png";
    case ImageFormat::Jpeg:
        return "jpg";
    case ImageFormat::Gif:
        break;
    }
    return "gif";
}

const char* FormatContentType(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Png:
        return "image/png";
    case ImageFormat::Jpeg:
        return "image/jpeg";
    case ImageFormat::Gif:
        break;
    }
    return "image/gif";
}

QImage DrawLandscape(ImageShape shape, uint64_t seed)
{
    Rng rng(seed);
    const QSize size = ShapeSize(shape);
    const int w = size.width();
    const int h = size.height();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const bool night = rng.Percent(25);
    const double horizon = h * rng.Between(45, 70) / 100.0;

    QLinearGradient sky(0, 0, 0, horizon);
    if (night) {
        sky.setColorAt(0, RandomHsv(rng, 220, 250, 120, 200, 20, 50));
        sky.setColorAt(1, RandomHsv(rng, 230, 280, 80, 160, 60, 110));
    } else {
        sky.setColorAt(0, RandomHsv(rng, 190, 230, 90, 200, 150, 230));
        sky.setColorAt(1, RandomHsv(rng, 10, 50, 60, 180, 200, 255)); // warm near the horizon
    }
    painter.fillRect(QRectF(0, 0, w, horizon + 1), sky);

    if (night) {
        painter.setBrush(QColor(255, 255, 240));
        const int stars = rng.Between(30, 80);
        for (int s = 0; s < stars; ++s)
            painter.drawEllipse(QPointF(rng.Below(w), rng.Below(static_cast<int>(horizon))), 0.8, 0.8);
    }

    const QPointF sunCentre(w * rng.Between(15, 85) / 100.0, horizon * rng.Between(20, 60) / 100.0);
    const double sunRadius = std::min(w, h) * rng.Between(5, 10) / 100.0;
    QRadialGradient glow(sunCentre, sunRadius * 3);
    glow.setColorAt(0, night ? QColor(255, 255, 230, 120) : QColor(255, 240, 180, 160));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setBrush(glow);
    painter.drawEllipse(sunCentre, sunRadius * 3, sunRadius * 3);
    painter.setBrush(night ? QColor(240, 240, 220) : QColor(255, 225, 120));
    painter.drawEllipse(sunCentre, sunRadius, sunRadius);

    // Ridges from far (pale, high) to near (dark, low).
    const int ridges = rng.Between(2, 4);
    const QColor ridgeColour = RandomHsv(rng, 80, 160, 40, 120, 70, 140);
    for (int r = 0; r < ridges; ++r) {
        const double baseY = horizon + (h - horizon) * r / (ridges + 2.0);
        const double amplitude = (horizon * 0.6) / (r + 1);
        QColor colour = ridgeColour.darker(100 + 45 * r);
        if (night)
            colour = colour.darker(250);
        painter.setBrush(colour);
        painter.drawPath(Ridge(rng, w, h, baseY, amplitude));
    }

    const double waterTop = h * rng.Between(78, 90) / 100.0;
    QLinearGradient water(0, waterTop, 0, h);
    water.setColorAt(0, RandomHsv(rng, 190, 220, 80, 160, night ? 40 : 120, night ? 80 : 200));
    water.setColorAt(1, RandomHsv(rng, 200, 230, 120, 200, night ? 20 : 60, night ? 50 : 120));
    painter.setBrush(water);
    painter.drawRect(QRectF(0, waterTop, w, h - waterTop));

    // The sun's reflection as a few short streaks.
    painter.setBrush(QColor(255, 240, 200, night ? 60 : 110));
    for (int s = 0; s < 6; ++s) {
        const double y = waterTop + (h - waterTop) * (s + 0.5) / 6.0;
        const double half = sunRadius * (1.4 - s * 0.15);
        painter.drawRect(QRectF(sunCentre.x() - half, y, half * 2, 1.5));
    }
    painter.end();
    return image;
}

QByteArray EncodeImage(const QImage& image, ImageFormat format)
{
    if (format == ImageFormat::Gif)
        return EncodeGif(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const bool saved = format == ImageFormat::Png ? image.save(&buffer, "PNG") : image.save(&buffer, "JPEG", 85);
    return saved ? bytes : QByteArray();
}

QByteArray EncodeGif(const QImage& image)
{
    if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF)
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();

    std::vector<uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const int r = DitheredLevel(qRed(line[x]), x, y);
            const int g = DitheredLevel(qGreen(line[x]), x, y);
            const int b = DitheredLevel(qBlue(line[x]), x, y);
            indices.push_back(static_cast<uint8_t>((r * kLevels + g) * kLevels + b));
        }
    }

    QByteArray out("GIF89a");
    AppendLe16(out, w);
    AppendLe16(out, h);
    out.append(static_cast<char>(0xF7)); // global table of 256 entries, 8 bits per primary
    out.append('\0');                    // background colour index
    out.append('\0');                    // no aspect ratio
    for (int i = 0; i < kPaletteEntries; ++i) {
        const bool used = i < kLevels * kLevels * kLevels;
        const int levels[3] = {i / (kLevels * kLevels), (i / kLevels) % kLevels, i % kLevels};
        for (int level : levels)
            out.append(static_cast<char>(used ? level * 255 / (kLevels - 1) : 0));
    }
    out.append(static_cast<char>(0x2C)); // image descriptor
    AppendLe16(out, 0);
    AppendLe16(out, 0);
    AppendLe16(out, w);
    AppendLe16(out, h);
    out.append('\0'); // no local table, not interlaced
    out.append(static_cast<char>(kLzwMinCodeSize));
    const QByteArray data = LzwCompress(indices);
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const qsizetype length = std::min<qsizetype>(255, data.size() - at);
        out.append(static_cast<char>(length));
        out.append(data.constData() + at, length);
    }
    out.append('\0');                    // end of the image data
    out.append(static_cast<char>(0x3B)); // trailer
    return out;
}

} // namespace samplesite
