#pragma once

#include <QString>
#include <utility>

namespace tlm {

// Tells the user in a message box and appends the report to tlm_err.txt; a detail (the database
// engine's own words) goes into the log line only, in parentheses. With the boxes on the error
// output (the command line) only the description goes there, and nothing is logged.
void fncErr(const QString& tag, const QString& text, const QString& detail = QString());

// How many reports fncErr has made in this run (a run without windows learns of failures so).
int reportsMade();

// Reports the exception being handled under the tag.
void reportCurrentException(const QString& tag);

// Runs one procedure's body; a failure is reported under the tag and goes no further.
template <class F> void guard(const QString& tag, F&& body)
{
    try {
        std::forward<F>(body)();
    } catch (...) {
        reportCurrentException(tag);
    }
}
template <class F> void guard(const char* tag, F&& body)
{
    guard(QString::fromUtf8(tag), std::forward<F>(body));
}

// The same for a procedure with a result: its neutral result after a failure.
template <class R, class F> R guardOr(const char* tag, R neutral, F&& body)
{
    try {
        return std::forward<F>(body)();
    } catch (...) {
        reportCurrentException(QString::fromUtf8(tag));
        return neutral;
    }
}

// Where fncErr appends its reports.
QString errorLogPath();

// The log line without its CRLF: yyyymmdd-hh:nn/Modul=TAG/Name=/Desc=TEXT
QString errorLogLine(const QString& tag, const QString& text);

} // namespace tlm
