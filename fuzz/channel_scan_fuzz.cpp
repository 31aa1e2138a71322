// Feeds arbitrary bytes as a channel page, a picture channel page and a story
// page to the page scanners, and checks what every scan must hold whatever
// the page: links are absolute, a link joined to the site's address stays on
// the site's host, no cell holds a line break, icons belong to their list, image addresses
// are fully percent-encoded, and a fitted picture stays inside its box.
#include "content/channel_scraper.h"
#include "content/picture_page.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const QString Base = QStringLiteral("https://site.test");

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsNewsIcon(content::NewsIcon icon)
{
    return icon == content::NewsIcon::NewsExclamation || icon == content::NewsIcon::NewsVideo ||
           icon == content::NewsIcon::News;
}

/// The address has the base's scheme, host and port, and no user part.
bool OnBaseHost(const QString& link)
{
    const QUrl url(link);
    const QUrl base(Base);
    return url.scheme() == base.scheme() && url.host() == base.host() && url.port() == base.port() &&
           url.userInfo().isEmpty();
}

bool IsUpperHex(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

void CheckChannel(const QString& page, content::ChannelList list)
{
    const std::vector<content::NewsItem> items = content::ScanChannel(page, list, Base);
    Check(static_cast<qsizetype>(items.size()) <= page.count(QStringLiteral("\r\n")) + 1);
    for (const content::NewsItem& item : items) {
        Check(item.link.isEmpty() || item.link.startsWith(u"http", Qt::CaseInsensitive));
        Check(!item.link.startsWith(Base) || OnBaseHost(item.link) ||
              item.link.startsWith(u"http", Qt::CaseInsensitive));
        Check(!item.title.contains(u'\n') && !item.link.contains(u'\n'));
        Check(IsNewsIcon(item.icon) == (list == content::ChannelList::News));
        Check(item.icon == content::ChannelIcon(list, item.title));
        const QString row = content::NewsRowText(item);
        Check(row.size() == item.title.size() + item.link.size() + 2 && row.startsWith(u' '));
    }
    const QString headline = content::LatestHeadlineOf(items);
    Check(headline.isEmpty() == std::none_of(items.begin(), items.end(),
                                             [](const content::NewsItem& item) { return !item.title.isEmpty(); }));
}

void CheckPicturePages(const QString& page)
{
    const QString story = content::FindPictureStoryUrl(page, Base);
    Check(story.isEmpty() || (story.startsWith(Base) && OnBaseHost(story)));
    (void)content::FindPictureTitle(page);
    if (const std::optional<QString> url = content::FindPictureImageUrl(page)) {
        Check(!url->isEmpty());
        for (qsizetype i = 0; i < url->size(); ++i) {
            const char16_t c = url->at(i).unicode();
            if (c == u'%') {
                Check(i + 2 < url->size() && IsUpperHex(url->at(i + 1).unicode()) &&
                      IsUpperHex(url->at(i + 2).unicode()));
                i += 2;
            } else {
                Check(c > 0x20 && c < 0x7f && QStringView(u"\"+<>[\\]^`{|}").indexOf(QChar(c)) < 0);
            }
        }
    }
}

void CheckFit(const uint8_t* data, size_t size)
{
    if (size < 20)
        return;
    int32_t side = 0;
    int64_t width = 0;
    int64_t height = 0;
    std::memcpy(&side, data, sizeof side);
    std::memcpy(&width, data + 4, sizeof width);
    std::memcpy(&height, data + 12, sizeof height);
    const std::optional<content::PictureFit> fit = content::FitPicture(side, width, height);
    Check(fit.has_value() == (width > 0 && height > 0));
    if (!fit)
        return;
    const int box = side > 0 ? side : 0;
    Check(fit->width >= 0 && fit->width <= box && fit->height >= 0 && fit->height <= box);
    Check(box == 0 || fit->width == box || fit->height == box);
    Check(fit->x >= 0 && fit->y >= 0 && fit->x + fit->width <= box && fit->y + fit->height <= box);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckChannel(page, content::ChannelList::News);
    CheckChannel(page, content::ChannelList::Articles);
    CheckPicturePages(page);
    CheckFit(data, size);
    return 0;
}
