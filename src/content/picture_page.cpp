#include "content/picture_page.h"

#include "content/site_links.h"
#include "content/text_cleanup.h"
#include "runtime/http_transfer.h"
#include "runtime/text_positions.h"

namespace content {

namespace {

using runtime::Find;
using runtime::From;
using runtime::Left;

const QString StoryListStart = QStringLiteral("<!-- Template: news_story -->");
const QString ItemLinePrefix = QStringLiteral("&middot; <a href=\"");
const QString TitleStart = QStringLiteral("<title>Random Photo: ");
const QString TitleEnd = QStringLiteral(" - Zorvane</title>");
const QString SourceStart = QStringLiteral("<center><img src=\"");
const QString Quote = QStringLiteral("\"");

// Products of a box side and an image length need more than 64 bits when the
// image claims an absurd size.
__extension__ typedef __int128 WideInt;

} // namespace

QString FindPictureStoryUrl(const QString& channelPage, const QString& baseUrl)
{
    QString rest = From(channelPage, Find(channelPage, StoryListStart) + StoryListStart.size() + 1);
    rest = From(rest, Find(rest, ItemLinePrefix));
    return JoinOnSite(baseUrl, ExtractBetween(rest, ItemLinePrefix, Quote));
}

QString FindPictureTitle(const QString& storyPage)
{
    return StripTags(ExtractBetween(storyPage, TitleStart, TitleEnd));
}

std::optional<QString> FindPictureImageUrl(const QString& storyPage)
{
    const qsizetype p = Find(storyPage, SourceStart);
    if (p == 0)
        return std::nullopt;
    // The closing quote is looked for one character past the address start,
    // so the address is never empty.
    const qsizetype q = Find(storyPage, Quote, p + SourceStart.size() + 1);
    if (p >= q)
        return std::nullopt;
    const qsizetype start = p + SourceStart.size();
    return runtime::UrlEncode(Left(From(storyPage, start), q - start));
}

std::optional<PictureFit> FitPicture(int side, int64_t imageWidth, int64_t imageHeight)
{
    if (imageWidth <= 0 || imageHeight <= 0)
        return std::nullopt;
    if (side <= 0)
        return PictureFit{};
    const WideInt m = side;
    const WideInt e = m * imageHeight / imageWidth;
    PictureFit fit;
    if (e > m) {
        // Taller than wide: the height fills the box. d < m here, so it fits.
        const WideInt d = imageWidth * m / imageHeight;
        fit.width = d == 0 ? side : static_cast<int>(d);
        fit.height = side;
    } else {
        fit.width = side;
        fit.height = e == 0 ? side : static_cast<int>(e);
    }
    fit.x = (side - fit.width) / 2;
    fit.y = (side - fit.height) / 2;
    return fit;
}

QByteArray PictureFormat(QByteArrayView head)
{
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (head.startsWith("\xff\xd8"))
        return QByteArrayLiteral("jpeg");
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    return QByteArray();
}

} // namespace content
