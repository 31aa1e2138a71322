#include "ui/images.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QThread>

#include <array>
#include <map>
#include <optional>
#include <tuple>

// Q_INIT_RESOURCE declares the resource's init function in the enclosing
// namespace, so it has to be called from the global one.
static void InitImageResources()
{
    Q_INIT_RESOURCE(images);
}

namespace ui {

namespace {

struct ImageEntry
{
    ImageId id;
    const char* file; // under :/images/, without ".svg"
    QSize size;
};

constexpr QSize kIcon(16, 16);
constexpr QSize kHeaderLogo(78, 18);
constexpr QSize kSiteLogo(40, 40);
constexpr QSize kLarge(32, 32);
constexpr QSize kPicture(238, 238);

// In enum order, so that an id indexes its own row.
constexpr std::array kImages = {
    ImageEntry{ImageId::Tray, "tray", kIcon},
    ImageEntry{ImageId::TrayBusyA, "tray_busy_a", kIcon},
    ImageEntry{ImageId::TrayBusyB, "tray_busy_b", kIcon},
    ImageEntry{ImageId::MenuShowWindow, "menu_show_window", kIcon},
    ImageEntry{ImageId::MenuRefreshContent, "menu_refresh_content", kIcon},
    ImageEntry{ImageId::MenuFacebook, "menu_facebook", kIcon},
    ImageEntry{ImageId::MenuX, "menu_x", kIcon},
    ImageEntry{ImageId::MenuYouTube, "menu_youtube", kIcon},
    ImageEntry{ImageId::MenuGoTo, "menu_go_to", kIcon},
    ImageEntry{ImageId::MenuQuit, "menu_quit", kIcon},
    ImageEntry{ImageId::TabToday, "tab_today", kIcon},
    ImageEntry{ImageId::TabYesterday, "tab_yesterday", kIcon},
    ImageEntry{ImageId::TabInstalledApps, "tab_installed_apps", kIcon},
    ImageEntry{ImageId::TabNews, "tab_news", kIcon},
    ImageEntry{ImageId::TabArticles, "tab_articles", kIcon},
    ImageEntry{ImageId::PlatformAll, "platform_all", kIcon},
    ImageEntry{ImageId::PlatformWindows, "platform_windows", kIcon},
    ImageEntry{ImageId::PlatformLinux, "platform_linux", kIcon},
    ImageEntry{ImageId::PlatformMacOS, "platform_macos", kIcon},
    ImageEntry{ImageId::PlatformAndroid, "platform_android", kIcon},
    ImageEntry{ImageId::ControlPanel, "control_panel", kIcon},
    ImageEntry{ImageId::Search, "search", kIcon},
    ImageEntry{ImageId::NewsExclamation, "news_exclamation", kIcon},
    ImageEntry{ImageId::NewsVideo, "news_video", kIcon},
    ImageEntry{ImageId::ArticleExclamation, "article_exclamation", kIcon},
    ImageEntry{ImageId::ArticleVideo, "article_video", kIcon},
    ImageEntry{ImageId::HowTo, "how_to", kIcon},
    ImageEntry{ImageId::WhatIs, "what_is", kIcon},
    ImageEntry{ImageId::Article, "article", kIcon},
    ImageEntry{ImageId::UpdateIcon, "update_icon", kIcon},
    ImageEntry{ImageId::UpToDateIcon, "up_to_date_icon", kIcon},
    ImageEntry{ImageId::HeaderLogo, "header_logo", kHeaderLogo},
    ImageEntry{ImageId::SiteLogo, "site_logo", kSiteLogo},
    ImageEntry{ImageId::Donate, "donate", kLarge},
    ImageEntry{ImageId::Settings, "settings", kLarge},
    ImageEntry{ImageId::Refresh, "refresh", kLarge},
    ImageEntry{ImageId::WinkA, "wink_a", kLarge},
    ImageEntry{ImageId::WinkB, "wink_b", kLarge},
    ImageEntry{ImageId::RefreshWindowIcon, "refresh_window_icon", kLarge},
    ImageEntry{ImageId::UpgradingIcon, "upgrading_icon", kLarge},
    ImageEntry{ImageId::RefreshingPicture, "refreshing_picture", kPicture},
    ImageEntry{ImageId::NoPicture, "no_picture", kPicture},
    ImageEntry{ImageId::SkippedPicture, "skipped_picture", kPicture},
};
static_assert(kImages.size() == static_cast<std::size_t>(ImageId::SkippedPicture) + 1, "one row per ImageId");

constexpr bool RowsInEnumOrder()
{
    for (std::size_t i = 0; i < kImages.size(); ++i)
        if (static_cast<std::size_t>(kImages[i].id) != i)
            return false;
    return true;
}
static_assert(RowsInEnumOrder(), "rows must follow the enum order");

// No picture of the program comes near this; the bound keeps a mistaken size
// from asking for gigabytes.
constexpr int kMaxSide = 4096;

const ImageEntry* FindEntry(ImageId id)
{
    const auto index = static_cast<std::size_t>(id);
    return index < kImages.size() ? &kImages[index] : nullptr;
}

/// Image, device width and height, ratio.
using CacheKey = std::tuple<int, int, int, qreal>;

std::map<CacheKey, QPixmap>& Cache()
{
    static std::map<CacheKey, QPixmap> cache;
    return cache;
}

/// One icon per image: every list row, tab and menu item showing the same
/// image shares it, instead of each holding an icon of its own.
std::map<ImageId, QIcon>& IconCache()
{
    static std::map<ImageId, QIcon> icons;
    return icons;
}

void ClearCache()
{
    IconCache().clear();
    Cache().clear();
}

/// Pixmaps must go before the application object does: the application's
/// shutdown empties the caches (post routines run once per application).
/// Called before each insertion.
void ClearCacheAtShutdown()
{
    if (Cache().empty() && IconCache().empty())
        qAddPostRoutine(ClearCache);
}

bool OnGuiThread()
{
    return qGuiApp != nullptr && QThread::currentThread() == qGuiApp->thread();
}

/// Reads an image's drawing on first use; sizes drawn together (an icon's
/// plain and double size) share one reading.
class Drawing
{
public:
    explicit Drawing(const ImageEntry& entry) : entry_(entry) {}

    QSvgRenderer& Renderer()
    {
        static const bool resourcesReady = [] {
            InitImageResources();
            return true;
        }();
        (void)resourcesReady;
        if (!renderer_)
            renderer_.emplace(QStringLiteral(":/images/%1.svg").arg(QLatin1String(entry_.file)));
        return *renderer_;
    }

private:
    const ImageEntry& entry_;
    std::optional<QSvgRenderer> renderer_;
};

QPixmap Render(Drawing& drawing, QSize size, qreal ratio)
{
    QSvgRenderer& renderer = drawing.Renderer();
    if (!renderer.isValid())
        return QPixmap();
    QPixmap pixmap(size);
    if (pixmap.isNull())
        return pixmap;
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    // Set after drawing: the drawing above fills every device pixel.
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

QSize ImageSize(ImageId id)
{
    const ImageEntry* entry = FindEntry(id);
    return entry ? entry->size : QSize();
}

namespace {

QPixmap CachedImage(const ImageEntry& entry, Drawing& drawing, QSize size, qreal ratio)
{
    if (size.isEmpty())
        size = entry.size;
    if (!(ratio > 0)) // also a NaN
        ratio = 1.0;
    const QSize device(qRound(size.width() * ratio), qRound(size.height() * ratio));
    if (device.isEmpty() || device.width() > kMaxSide || device.height() > kMaxSide)
        return QPixmap();

    const CacheKey key{static_cast<int>(entry.id), device.width(), device.height(), ratio};
    auto& cache = Cache();
    if (const auto found = cache.find(key); found != cache.end())
        return found->second;
    QPixmap pixmap = Render(drawing, device, ratio);
    if (pixmap.isNull())
        return pixmap;
    ClearCacheAtShutdown();
    cache.emplace(key, pixmap);
    return pixmap;
}

} // namespace

QPixmap Image(ImageId id, QSize size, qreal ratio)
{
    const ImageEntry* entry = FindEntry(id);
    // QPixmap aborts without a QGuiApplication, and the cache is not shared
    // with workers: anywhere but the GUI thread the answer is "no image".
    if (!entry || !OnGuiThread())
        return QPixmap();
    Drawing drawing(*entry);
    return CachedImage(*entry, drawing, size, ratio);
}

QIcon Icon(ImageId id)
{
    const ImageEntry* entry = FindEntry(id);
    if (!entry || !OnGuiThread())
        return QIcon();
    auto& icons = IconCache();
    if (const auto found = icons.find(id); found != icons.end())
        return found->second;
    QIcon icon;
    Drawing drawing(*entry);
    // The double-size rendering keeps icons sharp on high-DPI screens.
    for (const QSize& each : {entry->size, entry->size * 2}) {
        const QPixmap pixmap = CachedImage(*entry, drawing, each, 1.0);
        if (!pixmap.isNull())
            icon.addPixmap(pixmap);
    }
    if (icon.isNull())
        return icon;
    ClearCacheAtShutdown();
    icons.emplace(id, icon);
    return icon;
}

void PreloadImage(ImageId id)
{
    if (ImageSize(id) == kIcon) {
        Icon(id);
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    Image(id, QSize(), screen != nullptr ? screen->devicePixelRatio() : 1.0);
}

} // namespace ui
