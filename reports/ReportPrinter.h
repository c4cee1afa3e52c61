#pragma once

#include "reports/ReportWriter.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;

namespace tlm {

class PageView;

// The report printer control "vp": the document, its page preview with zoom and paging, printing
// and saving as PDF.
class ReportPrinter : public QWidget, public ReportWriter
{
    Q_OBJECT
public:
    explicit ReportPrinter(QWidget* parent = nullptr);

    Q_INVOKABLE bool savePdf(const QString& path) const;
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
