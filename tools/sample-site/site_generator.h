#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <map>

namespace samplesite {

/// One resource of the site: the bytes as served and their content type.
struct SitePage
{
    QByteArray body;
    QByteArray contentType;
};

/// Every resource of the site by its path from the root ("/",
/// "/news/channels/news.html", "/images/potd/9012-wide.jpg", ...).
using SitePages = std::map<QString, SitePage>;

/// The text of a day block's date line for `date`, with English names
/// whatever the locale: "Monday, December 07, 2026".
QString DayDateText(const QDate& date);

/// The whole site as it looks on `today`: the home page with the files of
/// today and yesterday, the news, articles and picture channels, the story,
/// file and search pages they link to, the pictures and the style sheet.
/// `baseUrl` ("http://127.0.0.1:8080", no trailing "/") goes into the
/// absolute addresses. The same arguments give the same bytes. Empty for an
/// invalid date. Any thread.
SitePages GenerateSite(const QDate& today, uint32_t seed, const QString& baseUrl);

/// The page served for an address the site does not have, in the site's look
/// (`year` in its footer); it says "Not Found".
QByteArray NotFoundPage(int year);

} // namespace samplesite
