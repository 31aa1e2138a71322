#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

namespace content {

// The picture of the day: its story is the first item of the picture
// channel, and the story page names the picture's title and image. These are
// pure functions of the page texts; the worker fetches and shows.

/// The picture channel's path under the site's base address.
inline const QString PictureChannelPath = QStringLiteral("/news/channels/way_off_base.html");

/// The story address of the first item after the story list marker:
/// `baseUrl` + the item's address, always prefixed (the site gives a path
/// starting with "/"). Just `baseUrl` when the page holds no item. Any thread.
QString FindPictureStoryUrl(const QString& channelPage, const QString& baseUrl);

/// The picture's title from its story page, tags stripped; empty when the
/// title markers are missing. Any thread.
QString FindPictureTitle(const QString& storyPage);

/// The image address named by the story page's centred image, percent-encoded
/// for the download; none when the marker or its closing quote is missing.
/// Any thread.
std::optional<QString> FindPictureImageUrl(const QString& storyPage);

/// The site's picture format a file starting with `head` is in, told by its
/// signature the way the decoders tell it: "png", "jpeg" or "gif"; empty for
/// anything else. Reading a file's first 8 bytes is enough. Any thread.
QByteArray PictureFormat(QByteArrayView head);

/// Where a picture goes in the square picture box: its fitted size and the
/// top-left corner that centres it, in pixels.
struct PictureFit
{
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;

    bool operator==(const PictureFit&) const = default;
};

/// Fits a `imageWidth` x `imageHeight` picture into a `side` x `side` box
/// keeping its proportions, with truncating integer division; a side of 0 or
/// less gives an empty fit, a fitted length of 0 stretches to the full side.
/// None when either image length is 0 or less. Exact for any 64-bit size.
std::optional<PictureFit> FitPicture(int side, int64_t imageWidth, int64_t imageHeight);

} // namespace content
