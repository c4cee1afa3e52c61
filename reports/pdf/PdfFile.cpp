#include "reports/pdf/PdfFile.h"

namespace tlm {

PdfFile::PdfFile(const QString& path) : m_file(path) {}

PdfFile::~PdfFile()
{
    stop();
}

bool PdfFile::open()
{
    m_file.setDirectWriteFallback(true);
    if (!m_file.open(QIODevice::WriteOnly))
        return false;
    write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    m_worker = std::thread([this] { run(); });
    return true;
}

int PdfFile::reserve()
{
    m_offsets.push_back(-1);
    return int(m_offsets.size()) - 1;
}

void PdfFile::object(int n, const QByteArray& body)
{
    push({n, body, QByteArray(), false});
}

void PdfFile::stream(int n, const QByteArray& data, const QByteArray& dict)
{
    push({n, data, dict, true});
}

bool PdfFile::finish(int catalog, int info)
{
    stop();
    for (const auto& [n, at] : m_placed)
        m_offsets[n] = at;
    const qint64 xref = m_pos;
    QByteArray table =
        "xref\n0 " + QByteArray::number(qsizetype(m_offsets.size())) + "\n0000000000 65535 f \n";
    for (size_t i = 1; i < m_offsets.size(); ++i)
        table += QByteArray::number(qMax<qint64>(0, m_offsets[i])).rightJustified(10, '0') + " 00000 n \n";
    write(table);
    write("trailer\n<< /Size " + QByteArray::number(qsizetype(m_offsets.size())) + " /Root " +
          QByteArray::number(catalog) + " 0 R /Info " + QByteArray::number(info) + " 0 R >>\nstartxref\n" +
          QByteArray::number(xref) + "\n%%EOF\n");
    return !m_failed && m_file.commit();
}

void PdfFile::push(Job job)
{
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [&] { return m_jobs.size() < kWaiting; });
    m_jobs.push_back(std::move(job));
    m_ready.notify_one();
}

void PdfFile::stop()
{
    if (!m_worker.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_ready.notify_one();
    m_worker.join();
}

// The writing thread: the file is its own until it is stopped.
void PdfFile::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_ready.wait(lock, [&] { return !m_jobs.empty() || m_stopping; });
            if (m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_room.notify_one();
        }
        m_placed.emplace_back(job.object, m_pos);
        write(QByteArray::number(job.object) + " 0 obj\n");
        if (!job.stream) {
            write(job.data);
            write("\nendobj\n");
            continue;
        }
        const QByteArray z = qCompress(job.data, 1);
        const qsizetype length = z.size() - 4; // qCompress puts the length first; the rest is zlib's
        write("<< /Length " + QByteArray::number(length) + " /Filter /FlateDecode" + job.dict +
              " >>\nstream\n");
        write(z.constData() + 4, length);
        write("\nendstream\nendobj\n");
    }
}

void PdfFile::write(const char* data, qsizetype size)
{
    if (m_file.write(data, size) != size)
        m_failed = true;
    m_pos += size;
}

} // namespace tlm
