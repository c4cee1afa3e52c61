#pragma once

#include <coroutine>
#include <exception>
#include <functional>
#include <utility>

namespace tlm {

class ReportPrinter;

// A report written a piece at a time: its generator (a coroutine) yields after each piece it has
// appended, so that the preview shows the first pages at once and writes the rest while the window
// stays usable. A failure of the report is raised by the step that meets it.
class ReportJob
{
public:
    struct promise_type
    {
        std::exception_ptr error;
        ReportJob get_return_object() { return ReportJob(Handle::from_promise(*this)); }
        std::suspend_always initial_suspend() noexcept { return {}; }
        std::suspend_always final_suspend() noexcept { return {}; }
        std::suspend_always yield_value(int) noexcept { return {}; }
        void return_void() noexcept {}
        void unhandled_exception() noexcept { error = std::current_exception(); }
    };
    using Handle = std::coroutine_handle<promise_type>;

    ReportJob(ReportJob&& other) noexcept : m_handle(std::exchange(other.m_handle, {})) {}
    ReportJob& operator=(ReportJob&& other) noexcept
    {
        if (this != &other) {
            if (m_handle)
                m_handle.destroy();
            m_handle = std::exchange(other.m_handle, {});
        }
        return *this;
    }
    ReportJob(const ReportJob&) = delete;
    ReportJob& operator=(const ReportJob&) = delete;
    ~ReportJob()
    {
        if (m_handle)
            m_handle.destroy();
    }

    // Writes the next piece; false once the report is done.
    bool step()
    {
        if (!m_handle || m_handle.done())
            return false;
        m_handle.resume();
        if (std::exception_ptr e = std::exchange(m_handle.promise().error, nullptr))
            std::rethrow_exception(e);
        return !m_handle.done();
    }

private:
    explicit ReportJob(Handle h) : m_handle(h) {}
    Handle m_handle;
};

// Makes a report's job anew: a report started again begins from its first line.
using ReportGenerator = std::function<ReportJob(ReportPrinter&)>;

// Runs a report in the shared preview: shows it, writes its first pages now and the rest while the
// window stays usable. A failure is reported under the tag; what was written stays.
void runReport(const char* tag, ReportGenerator generator);
// Ends the report being written in the shared preview, and a print under way, without a word.
void stopReport();

} // namespace tlm
