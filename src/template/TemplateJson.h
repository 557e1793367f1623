#pragma once
// Readable descriptions of templates, dictionaries and prepared reports as JSON
// (mirel-cli template dump): texts as UTF-8, dates as ISO 8601 text, opaque
// data as byte counts.

#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include <QJsonArray>
#include <QJsonObject>

namespace mirel::tmpl {

QJsonArray linesJson(const Lines& lines);   // each line as UTF-8 text
QJsonObject pageJson(const TfrPage& page);
QJsonArray viewsJson(const ViewList& views);
QJsonObject dictionaryJson(const TfrDataDictionary& dictionary);
QJsonObject informationJson(const TfrReport& report);
// Header, pages with their objects, dictionary and information.
QJsonObject reportJson(const TfrReport& report, int version);
// Header, pages with their paper fields and the objects of their streams.
QJsonObject preparedJson(const TfrPreparedPages& pages, const PreparedLoadResult& load, const TfrReport& report);

} // namespace mirel::tmpl
