#include "ui/images.h"

#include <QImage>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::vector<ui::ImageId> AllImages()
{
    std::vector<ui::ImageId> ids;
    for (int i = 0; i <= static_cast<int>(ui::ImageId::SkippedPicture); ++i)
        ids.push_back(static_cast<ui::ImageId>(i));
    return ids;
}

// Pixels at least as opaque as `minAlpha`.
int PixelsOver(const QImage& image, int minAlpha)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) >= minAlpha;
    return count;
}

QImage Pixels(ui::ImageId id)
{
    return ui::Image(id).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(Images, EveryRoleHasItsDesignSizeAndVisiblePixels)
{
    const struct
    {
        ui::ImageId id;
        QSize size;
    } rows[] = {
        {ui::ImageId::Tray, {16, 16}},                // first 16 x 16 role
        {ui::ImageId::UpToDateIcon, {16, 16}},        // last 16 x 16 role
        {ui::ImageId::HeaderLogo, {78, 18}},          // the only non-square image
        {ui::ImageId::SiteLogo, {40, 40}},            // shown squeezed into 32 x 32
        {ui::ImageId::Donate, {32, 32}},              // first 32 x 32 role
        {ui::ImageId::UpgradingIcon, {32, 32}},       // last 32 x 32 role
        {ui::ImageId::RefreshingPicture, {238, 238}}, // placeholders
        {ui::ImageId::SkippedPicture, {238, 238}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ui::ImageSize(r.id), r.size) << static_cast<int>(r.id);

    for (const ui::ImageId id : AllImages()) {
        const QPixmap pixmap = ui::Image(id);
        ASSERT_FALSE(pixmap.isNull()) << "missing resource for image " << static_cast<int>(id);
        EXPECT_EQ(pixmap.size(), ui::ImageSize(id)) << static_cast<int>(id);
        // A file that parses but draws nothing (wrong viewBox, shapes off the
        // canvas) would still load: ask for a tenth of the area to be drawn.
        const QImage image = Pixels(id);
        EXPECT_GE(PixelsOver(image, 128), image.width() * image.height() / 10) << static_cast<int>(id);
    }
}

TEST(Images, ImagesOfOneSizeAreAllDifferent)
{
    // A copied file or a badge drawn off the canvas makes two roles look alike.
    const std::vector<ui::ImageId> ids = AllImages();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        for (std::size_t j = i + 1; j < ids.size(); ++j) {
            if (ui::ImageSize(ids[i]) == ui::ImageSize(ids[j])) {
                EXPECT_NE(Pixels(ids[i]), Pixels(ids[j]))
                    << static_cast<int>(ids[i]) << " and " << static_cast<int>(ids[j]);
            }
        }
    }
}

TEST(Images, PlaceholderPicturesAreOpaqueAndCarryText)
{
    for (const ui::ImageId id : {ui::ImageId::RefreshingPicture, ui::ImageId::NoPicture, ui::ImageId::SkippedPicture}) {
        const QImage image = Pixels(id);
        EXPECT_EQ(PixelsOver(image, 255), 238 * 238) << static_cast<int>(id);
        // The texts are cream; a missing font leaves no cream pixel at all.
        int cream = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                cream += image.pixel(x, y) == qRgb(255, 255, 235);
        EXPECT_GT(cream, 200) << static_cast<int>(id);
    }
}

TEST(Images, HeaderLogoWordFitsItsBox)
{
    // SVG text falls back to the default sans font when the family is not
    // found; that font is wider and runs the word off the right edge.
    const QImage image = Pixels(ui::ImageId::HeaderLogo);
    for (int x = image.width() - 2; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            EXPECT_LT(qAlpha(image.pixel(x, y)), 128) << x << "," << y;
}

TEST(Images, RequestedSizesAndCache)
{
    const struct
    {
        QSize asked;
        QSize got; // 0 x 0: a null pixmap
        const char* what;
    } rows[] = {
        {QSize(), {16, 16}, "no size: design size"},
        {QSize(0, 0), {16, 16}, "empty size: design size"},
        {QSize(-5, 20), {16, 16}, "negative side: design size"},
        {QSize(32, 32), {32, 32}, "double size for high DPI"},
        {QSize(48, 24), {48, 24}, "any other size, stretched"},
        {QSize(100000, 100000), {0, 0}, "absurd size is refused, not allocated"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ui::Image(ui::ImageId::Search, r.asked).size(), r.got) << r.what;

    // The cache hands back the same pixmap instead of rendering again.
    EXPECT_EQ(ui::Image(ui::ImageId::Tray).cacheKey(), ui::Image(ui::ImageId::Tray).cacheKey());
    EXPECT_NE(ui::Image(ui::ImageId::Tray).cacheKey(), ui::Image(ui::ImageId::Tray, {32, 32}).cacheKey());
}

TEST(Images, IconsOfferPlainAndDoubleSizes)
{
    const QList<QSize> sizes = ui::Icon(ui::ImageId::TabNews).availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_EQ(ui::Icon(ui::ImageId::Settings).availableSizes().size(), 2);
}

TEST(Images, OutsideTheGuiThreadThereIsNoImage)
{
    // A worker must never render or touch the shared cache.
    bool null = false;
    std::thread worker([&] { null = ui::Image(ui::ImageId::WinkB).isNull(); });
    worker.join();
    EXPECT_TRUE(null);
    EXPECT_FALSE(ui::Image(ui::ImageId::WinkB).isNull());
}
