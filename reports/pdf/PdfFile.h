#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace tlm {

// A PDF file being written: objects numbered as they are reserved, written in any order, found by the
// cross-reference table at the end. Written under a temporary name until it is whole. Objects are
// deflated and written by a thread of their own while the next page is made: deflating is half the
// work.
class PdfFile
{
public:
    explicit PdfFile(const QString& path);
    ~PdfFile(); // a file not finished is thrown away with its temporary name
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;
    bool open();
    int reserve();
    void object(int n, const QByteArray& body);
    // A stream, deflated at the fastest level: the page contents are text operators that shrink to
    // a sixth, and fewer bytes to write cost less than deflating harder.
    void stream(int n, const QByteArray& data, const QByteArray& dict = QByteArray());
    // The cross-reference table and the trailer; false when anything could not be written.
    bool finish(int catalog, int info);

private:
    struct Job
    {
        int object;
        QByteArray data;
        QByteArray dict;
        bool stream;
    };
    static constexpr size_t kWaiting = 32; // pages made ahead of the writing, at most

    void push(Job job);
    void stop();
    void run();
    void write(const char* data, qsizetype size);
    void write(const QByteArray& data) { write(data.constData(), data.size()); }

    QSaveFile m_file;
    qint64 m_pos = 0;
    bool m_failed = false;
    std::vector<qint64> m_offsets{0};
    std::vector<std::pair<int, qint64>> m_placed; // the writing thread's: object and where it stands
    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_ready, m_room;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
};

} // namespace tlm
