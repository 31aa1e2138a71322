#pragma once

#include "updater/apps_table_writer.h"

#include <QList>

namespace packagesbridge {

/// The rows of every source as the table lists them: sorted by name (any
/// letter case), then identifier; a name that rows of two identifiers share,
/// or one that begins with "-", written as "Name (identifier)" and ended by
/// the shortened-name mark, so that the program upgrades the row by
/// identifier. Pure.
QList<updater::TableApp> FinishedRows(QList<updater::TableApp> rows);

} // namespace packagesbridge
