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
    // Prints the pages the printer's range asks for, with a progress window that can cancel.
    void print(QPrinter& printer);
    void savePdfAs();

    static QStringList zoomChoices();

protected:
    void documentChanged() override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void applyZoom();

    QComboBox* m_zoom;
    QLabel* m_pageLabel;
    QScrollArea* m_scroll;
    PageView* m_view;
    int m_page = 0;
};

} // namespace tlm
