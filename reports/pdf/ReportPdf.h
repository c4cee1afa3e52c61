#pragma once

#include "reports/ReportWriter.h"

#include <QString>
#include <memory>

namespace tlm {

enum class PdfWritten {
    Yes,
    Failed,   // the file could not be written
    NotPlain, // a text or font this writer cannot show as Qt paints it; no file was written
};

// Writes a report's pages to a PDF file as it takes them (see writeReportPdf).
class PdfStream : public PageSink
{
public:
    PdfStream(const QString& path, const QString& creator);
    ~PdfStream() override;
    void take(const ReportWriter& doc, const ReportPage& page) override;
    void restarted() override;
    // After the document's last page: its fonts and the file's end. NotPlain when a page held what
    // this writer cannot show or the report began again: the document is to be written whole then.
    PdfWritten finish(const ReportWriter& doc);

private:
    struct State;
    std::unique_ptr<State> d;
    QString m_creator;
};

// Writes a laid-out report as a PDF of our own making: one content stream a page with each line of
// text as one string, rules and shades as paths, and each face embedded once as a TrueType subset with
// the way back to its characters, so that the text reads and searches as it does on the screen.
// QPdfWriter writes two operators for every glyph and repeats its work per page; this is several times
// faster for long reports.
PdfWritten writeReportPdf(const ReportWriter& doc, const QString& path, const QString& creator);
// The same document painted through QPdfWriter, for what writeReportPdf leaves to Qt.
bool writeQtPdf(const ReportWriter& doc, const QString& path, const QString& creator);

} // namespace tlm
