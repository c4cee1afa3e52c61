#include "reports/PageFile.h"

#include <QDataStream>

namespace tlm {

namespace {
// A preview shows two pages side by side and pages back and forth: a few more are kept.
constexpr int kKeptPages = 8;
} // namespace

bool PageFile::append(const ReportPage& page)
{
    if (!m_file.isOpen() && !m_file.open())
        return false;
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        auto text = [&](const QString& t) {
            auto it = m_ids.constFind(t);
            if (it == m_ids.constEnd()) {
                it = m_ids.insert(t, quint32(m_texts.size()));
                m_texts << t;
            }
            out << *it;
        };
        out << quint32(page.items.size());
        for (const ReportItem& i : page.items) {
            out << quint8(i.kind) << quint8(i.align) << i.font << i.rect << i.colour;
            text(i.text);
            out << quint32(i.lines.size());
            for (const QString& line : i.lines)
                text(line);
        }
    }
    const qint64 at = m_file.size();
    if (!m_file.seek(at) || m_file.write(bytes) != bytes.size())
        return false;
    m_spans << qMakePair(at, qint32(bytes.size()));
    return true;
}

ReportPage PageFile::read(int index) const
{
    for (int k = 0; k < m_recent.size(); ++k)
        if (m_recent[k].first == index) {
            m_recent.move(k, 0);
            return m_recent.first().second;
        }
    ReportPage page;
    if (index < 0 || index >= m_spans.size())
        return page;
    if (!m_file.seek(m_spans[index].first))
        return page;
    const QByteArray bytes = m_file.read(m_spans[index].second);
    QDataStream in(bytes);
    auto text = [&]() -> QString {
        quint32 id = 0;
        in >> id;
        return id < quint32(m_texts.size()) ? m_texts[id] : QString();
    };
    quint32 items = 0;
    in >> items;
    page.items.reserve(items);
    for (quint32 n = 0; n < items && in.status() == QDataStream::Ok; ++n) {
        ReportItem i;
        quint8 kind = 0, align = 0;
        in >> kind >> align >> i.font >> i.rect >> i.colour;
        i.kind = ReportItem::Kind(kind);
        i.align = ReportItem::Align(align);
        i.text = text();
        quint32 lines = 0;
        in >> lines;
        for (quint32 l = 0; l < lines && in.status() == QDataStream::Ok; ++l)
            i.lines << text();
        page.items << std::move(i);
    }
    m_recent.prepend(qMakePair(index, page));
    if (m_recent.size() > kKeptPages)
        m_recent.removeLast();
    return page;
}

void PageFile::clear()
{
    m_spans = {};
    m_ids = {};
    m_texts = {};
    m_recent = {};
    if (m_file.isOpen())
        m_file.resize(0);
}

} // namespace tlm
