#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace ui {

/// Every picture the program shows, by role. The set is drawn for this
/// program as SVG and compiled in (resources/images.qrc).
enum class ImageId {
    // 16 x 16
    Tray,
    TrayBusyA,
    TrayBusyB,
    MenuShowWindow,
    MenuRefreshContent,
    MenuFacebook,
    MenuX,
    MenuYouTube,
    MenuGoTo,
    MenuQuit,
    TabToday,
    TabYesterday,
    TabInstalledApps, // also the "Refresh my apps" menu icon
    TabNews,          // also the plain news-row icon
    TabArticles,
    PlatformAll,
    PlatformWindows,
    PlatformLinux,
    PlatformMacOS,
    PlatformAndroid,
    ControlPanel,
    Search,
    NewsExclamation,
    NewsVideo,
    ArticleExclamation,
    ArticleVideo,
    HowTo,
    WhatIs,
    Article,
    UpdateIcon,
    UpToDateIcon,
    // 78 x 18
    HeaderLogo,
    // 40 x 40
    SiteLogo,
    // 32 x 32
    Donate,
    Settings,
    Refresh,
    WinkA,
    WinkB,
    RefreshWindowIcon,
    UpgradingIcon,
    // 238 x 238
    RefreshingPicture,
    NoPicture,
    SkippedPicture,
};

/// The design size of an image in pixels (its size on a 96-DPI screen).
QSize ImageSize(ImageId id);

/// The image rendered at its design size (or at `size` when given), in
/// logical pixels. With a `ratio` other than 1 it is drawn with that many
/// device pixels per logical pixel (the size times `ratio`, rounded) and
/// carries the ratio, so a scaled screen shows it sharp. The result is
/// cached; a null pixmap only if the resource is missing, which a test
/// guards against. GUI thread (rendering SVG needs QGuiApplication).
QPixmap Image(ImageId id, QSize size = QSize(), qreal ratio = 1.0);

/// The image as an icon, for tabs, menus, list rows and the tray. One icon
/// per image, shared by all who show it. GUI thread (else a null icon).
QIcon Icon(ImageId id);

/// Draws an image into the cache the way it is first shown: a 16 x 16 image
/// as an icon, a larger one for an image control on the primary screen. GUI
/// thread.
void PreloadImage(ImageId id);

} // namespace ui
