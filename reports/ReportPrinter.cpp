#include "reports/ReportPrinter.h"

#include "app/ErrorReporter.h"
#include "app/Named.h"
#include "data/Error.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tlm {

// Paints the shown page (or two) at the chosen scale.
class PageView : public QWidget
{
public:
    PageView(const ReportPrinter* doc, QWidget* parent) : QWidget(parent), m_doc(doc) {}
    void setLayout(int first, int count, double scale)
    {
        m_first = first;
        m_count = count;
        m_scale = scale;
        const int w = int(ReportWriter::kPageWidth * scale), h = int(ReportWriter::kPageHeight * scale);
        setFixedSize(count * w + (count + 1) * kGap, h + 2 * kGap);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        const double w = ReportWriter::kPageWidth * m_scale, h = ReportWriter::kPageHeight * m_scale;
        for (int i = 0; i < m_count && m_first + i < m_doc->pageCount(); ++i) {
            const QRectF target(kGap + i * (w + kGap), kGap, w, h);
            p.fillRect(target.translated(3, 3), QColor(60, 60, 60));
            m_doc->paintPage(p, m_first + i, target);
        }
    }

private:
    static constexpr int kGap = 12;
    const ReportPrinter* m_doc;
    int m_first = 0, m_count = 1;
    double m_scale = 0.05;
};

QStringList ReportPrinter::zoomChoices()
{
    QStringList z;
    for (const QString& c : QStringLiteral("Whole &Page|Page &Width|&Two Pages|Thumb&nail").split('|'))
        z << QString(c).remove('&');
    return z << QStringLiteral("50 %") << QStringLiteral("75 %") << QStringLiteral("100 %")
             << QStringLiteral("150 %");
}

ReportPrinter::ReportPrinter(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vp"));
    auto tool = [&](const QString& text, const QString& tip, const char* name) {
        auto* b = makeNamed<QToolButton>(this, name);
        b->setText(text);
        b->setToolTip(tip);
        return b;
    };
    QToolButton* first = tool(QStringLiteral("|<"), QStringLiteral("Erste Seite"), "first");
    QToolButton* prev = tool(QStringLiteral("<"), QStringLiteral("Vorige Seite"), "prev");
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("pageLabel"));
    QToolButton* next = tool(QStringLiteral(">"), QStringLiteral("Nächste Seite"), "next");
    QToolButton* last = tool(QStringLiteral(">|"), QStringLiteral("Letzte Seite"), "last");
    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("zoom"));
    m_zoom->addItems(zoomChoices());
    m_zoom->setCurrentIndex(1);
    QToolButton* print = tool(QStringLiteral("Drucken..."), QStringLiteral("Drucken"), "print");
    QToolButton* pdf =
        tool(QStringLiteral("Als PDF speichern..."), QStringLiteral("Als PDF speichern"), "pdf");

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{first, prev, m_pageLabel, next, last, m_zoom})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(print);
    bar->addWidget(pdf);
    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(this, m_scroll);
    m_scroll->setWidget(m_view);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addLayout(bar);
    box->addWidget(m_scroll, 1);

    connect(first, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(prev, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(next, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(last, &QToolButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(m_zoom, &QComboBox::currentIndexChanged, this, [this] { applyZoom(); });
    connect(print, &QToolButton::clicked, this, [this] { printDocument(); });
    connect(pdf, &QToolButton::clicked, this, [this] { savePdfAs(); });
    documentChanged();
}

void ReportPrinter::documentChanged()
{
    m_page = qBound(0, m_page, qMax(0, pageCount() - 1));
    applyZoom();
}

void ReportPrinter::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    applyZoom(); // the fitting zooms follow the window
}

void ReportPrinter::showPage(int page)
{
    m_page = qBound(0, page, qMax(0, pageCount() - 1));
    applyZoom();
}

void ReportPrinter::applyZoom()
{
    const int n = pageCount();
    m_pageLabel->setText(QStringLiteral(" Seite %1 von %2 ").arg(n ? m_page + 1 : 0).arg(n));
    const QSize area = m_scroll->viewport()->size() - QSize(30, 30);
    const double fitWidth = qMax(0.01, area.width() / ReportWriter::kPageWidth);
    const double fitPage = qMax(0.01, qMin(fitWidth, area.height() / ReportWriter::kPageHeight));
    double scale = fitWidth;
    int count = 1;
    switch (m_zoom->currentIndex()) {
    case 0:
        scale = fitPage;
        break;
    case 2:
        count = 2;
        scale = qMax(0.01, qMin(area.width() / 2.0 / ReportWriter::kPageWidth,
                                area.height() / ReportWriter::kPageHeight));
        break;
    case 3:
        scale = 0.02;
        break;
    case 4:
    case 5:
    case 6:
    case 7: {
        const double percent[] = {50, 75, 100, 150};
        scale = percent[m_zoom->currentIndex() - 4] / 100.0 * logicalDpiX() / 1440.0;
        break;
    }
    default:
        break;
    }
    m_view->setLayout(m_page, count, scale);
}

bool ReportPrinter::savePdf(const QString& path) const
{
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(600);
    pdf.setTitle(QStringLiteral("Fennor Tellomat"));
    QPainter p;
    if (!p.begin(&pdf))
        return false;
    const QRectF target(0, 0, pdf.width(), pdf.height());
    for (int i = 0; i < pageCount(); ++i) {
        if (i > 0)
            pdf.newPage();
        paintPage(p, i, target);
    }
    return p.end();
}

void ReportPrinter::savePdfAs()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Als PDF speichern"), QString(),
                                                      QStringLiteral("PDF-Datei (*.pdf)"), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    guard("frmDlgDruck/savePdf", [&] {
        if (!savePdf(path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? path : path + ".pdf"))
            throw Error(75, QStringLiteral("Fehler beim Zugriff auf Pfad/Datei: ") + path);
    });
}

void ReportPrinter::printDocument()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, qMax(1, pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    print(printer);
}

void ReportPrinter::print(QPrinter& printer)
{
    int from = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    int to = printer.toPage() > 0 ? printer.toPage() - 1 : pageCount() - 1;
    QProgressDialog progress(QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0, to - from + 1, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QPainter p;
    if (!p.begin(&printer))
        return;
    const QRectF target = printer.paperRect(QPrinter::DevicePixel);
    for (int i = from; i <= to; ++i) {
        progress.setLabelText(QStringLiteral("Now printing Page %1 of %2 on the %3 on %4")
                                  .arg(i + 1)
                                  .arg(pageCount())
                                  .arg(printer.printerName(), printer.outputFileName().isEmpty()
                                                                  ? QStringLiteral("local")
                                                                  : printer.outputFileName()));
        progress.setValue(i - from);
        if (progress.wasCanceled())
            break;
        if (i > from)
            printer.newPage();
        paintPage(p, i, QRectF(0, 0, target.width(), target.height()));
    }
    p.end();
    progress.setValue(to - from + 1);
}

} // namespace tlm
