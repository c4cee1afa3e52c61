#pragma once

#include "reports/ReportWriter.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryFile>
#include <QVector>

namespace tlm {

// The finished pages of a document in a temporary file, each text stored once: the preview of a year's
// report keeps a few pages in memory, not every page's items.
class PageFile
{
public:
    // Adds the page after those written; false when the file cannot be written (the page is then kept
    // by the caller).
    bool append(const ReportPage& page);
    int count() const { return int(m_spans.size()); }
    // A page written before; the last few read are kept.
    ReportPage read(int index) const;
    // Forgets every page: the document begins again.
    void clear();

private:
    mutable QTemporaryFile m_file;          // read back from const pages
    QVector<QPair<qint64, qint32>> m_spans; // each page's place in the file
    QHash<QString, quint32> m_ids;
    QVector<QString> m_texts;
    mutable QList<QPair<int, ReportPage>> m_recent; // the last read first
};

} // namespace tlm
