#pragma once

#include <QString>

#include <cstdint>

namespace app {

/// Fetches a news channel and appends its rows, with their icons, to `list`
/// (NewsList or ArticlesList), which the caller has emptied; the first news
/// title becomes LatestHeadline. Blocks for the download. GUI thread.
void ScrapeChannel(int64_t list, const QString& path);

} // namespace app
