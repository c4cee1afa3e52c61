#pragma once

#include "reports/ReportWriter.h"
#ifndef Q_MOC_RUN // moc cannot read the coroutine header
#include "reports/ReportJob.h"
#endif

#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QTimer;

namespace tlm {

class PageView;

// The report printer control "vp": the document, its page preview with zoom and paging, printing
// and saving as PDF.
class ReportPrinter : public QWidget, public ReportWriter
{
    Q_OBJECT
public:
    explicit ReportPrinter(QWidget* parent = nullptr);

    // Writes the whole document (what is not yet written first) as a PDF file.
    Q_INVOKABLE bool savePdf(const QString& path);

    // Writes the report being written straight into a PDF file, each page as it is finished, without
    // keeping them: the command line's year-long reports. The preview shows nothing of it then.
    bool streamPdf(const QString& path);

    // A report's job: its first pages are written now, the rest in short turns while the window stays
    // usable. If the database changes before it is done, the report begins again.
    void run(const QString& tag, ReportGenerator generator);
    // Writes what the running report has not written yet; false when it failed.
    bool finish();
    // Ends the report being written and a print under way, without a word: the program is ending.
    void stop();
    // A report is still being written.
    bool writing() const { return m_job.has_value(); }
    // The report failed (its error was shown): nothing of it is printed or saved.
    bool failed() const { return m_failed; }
    // Printing or saving: the document stays as it is; a report asked for meanwhile starts after.
    bool busy() const { return m_busy; }
    Q_INVOKABLE int pages() const { return pageCount(); }
    void showPage(int page);
    void printDocument(); // the system print dialog, then print()
    // The report's title and today's date, in the folder used last (first: the documents folder).
    QString proposedPdfName() const;
    // Prints the pages the printer's range asks for, with a progress window that can cancel.
    void print(QPrinter& printer);
    void savePdfAs();

    static QStringList zoomChoices();

protected:
    void documentChanged() override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Steps the job until more than pages exist or it is done; a failure is reported and ends it.
    void writeUntil(int pages, qint64 milliseconds = -1);
    void writeInTurns();
    // A failed report is neither printed nor saved: says so; false then.
    bool usable(const QString& notDone);
    void startWaiting();
    void printPages(QPrinter& printer);
    class Busy;

    std::optional<ReportJob> m_job;
    ReportGenerator m_generator;
    QString m_jobTag;
    qint64 m_changesAtStart = 0;
    std::optional<QString> m_stateAtStart; // what the report's first turn saw; none before it
    bool m_stepping = false;
    bool m_stopAfterStep = false; // stopped while a step runs: the job ends once the step returns
    bool m_failed = false;
    bool m_busy = false;
    bool m_cancelPrint = false;
    struct Waiting
    {
        QString tag;
        ReportGenerator generator;
    };
    std::optional<Waiting> m_waiting;
    QTimer* m_turns;

    static constexpr int kFirstPages = 2; // written before the preview is shown
    static constexpr qint64 kTurnMs = 15; // one turn of writing between the window's events
    static constexpr int kPercents[4] = {50, 75, 100, 150};
    static constexpr const char* kPdfFolderKey = "Druckvorschau/PdfOrdner";
    void applyZoom();
    // The scale of a zoom choice in the room there is, and how many pages it shows.
    double scaleOf(int zoom, int* pages) const;
    double percentScale(int percent) const;
    // Ctrl+Plus / Ctrl+Minus: the next larger or smaller of the percent choices.
    void zoomStep(int direction);

    QComboBox* m_zoom;
    QLabel* m_status;
    QLabel* m_pageLabel;
    QScrollArea* m_scroll;
    PageView* m_view;
    int m_page = 0;
};

} // namespace tlm
