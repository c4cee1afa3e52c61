#include "reports/ReportPrinter.h"

#include "app/ErrorReporter.h"
#include "app/FileDialogs.h"
#include "app/MessageBox.h"
#include "app/Named.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "reports/pdf/ReportPdf.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>
#include <optional>

namespace tlm {

namespace {
const QString kNotSaved =
    QStringLiteral("Der Bericht ist nicht vollständig erstellt worden und wird nicht gespeichert.");
const QString kNotPrinted =
    QStringLiteral("Der Bericht ist nicht vollständig erstellt worden und wird nicht gedruckt.");
} // namespace

// While it lives the printer prints or saves: the document stays one report. The outermost one
// starts a report asked for meanwhile, once the event loop is back.
class ReportPrinter::Busy
{
public:
    explicit Busy(ReportPrinter* p) : m_p(p), m_outer(!p->m_busy) { p->m_busy = true; }
    ~Busy()
    {
        if (!m_outer)
            return;
        m_p->m_busy = false;
        if (m_p->m_waiting)
            QMetaObject::invokeMethod(
                m_p, [p = m_p] { p->startWaiting(); }, Qt::QueuedConnection);
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    ReportPrinter* m_p;
    bool m_outer;
};

// Paints the shown page (or two) at the chosen scale.
class PageView : public QWidget
{
public:
    static constexpr int kGap = 12;
    PageView(const ReportPrinter* doc, QWidget* parent) : QWidget(parent), m_doc(doc) {}
    void setLayout(int first, int count, double scale)
    {
        m_first = first;
        m_count = count;
        m_scale = scale;
        const int w = int(m_doc->pageWidth() * scale), h = int(m_doc->pageHeight() * scale);
        setFixedSize(count * w + (count + 1) * kGap, h + 2 * kGap);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        const double w = m_doc->pageWidth() * m_scale, h = m_doc->pageHeight() * m_scale;
        for (int i = 0; i < m_count && m_first + i < m_doc->pageCount(); ++i) {
            const QRectF target(kGap + i * (w + kGap), kGap, w, h);
            p.fillRect(target.translated(3, 3), QColor(60, 60, 60));
            m_doc->paintPage(p, m_first + i, target);
        }
    }

private:
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
    keepPagesInFile();
    auto tool = [&](const QString& text, const QString& tip, const char* name) {
        auto* b = makeNamed<QToolButton>(this, name);
        b->setText(text);
        b->setToolTip(tip);
        return b;
    };
    QToolButton* first = tool(QStringLiteral("|<"), QStringLiteral("Erste Seite (Pos1)"), "first");
    QToolButton* prev = tool(QStringLiteral("<"), QStringLiteral("Vorige Seite (Bild auf)"), "prev");
    m_pageLabel = makeNamed<QLabel>(this, "pageLabel");
    QToolButton* next = tool(QStringLiteral(">"), QStringLiteral("Nächste Seite (Bild ab)"), "next");
    QToolButton* last = tool(QStringLiteral(">|"), QStringLiteral("Letzte Seite (Ende)"), "last");
    m_zoom = makeNamed<QComboBox>(this, "zoom");
    m_zoom->setAccessibleName(QStringLiteral("Zoom"));
    m_zoom->addItems(zoomChoices());
    m_zoom->setCurrentIndex(1);
    m_zoom->setToolTip(QStringLiteral("Zoom (Strg+Plus, Strg+Minus)"));
    QToolButton* print = tool(QStringLiteral("Drucken..."), QStringLiteral("Drucken (Strg+P)"), "print");
    QToolButton* pdf =
        tool(QStringLiteral("Als PDF speichern..."), QStringLiteral("Als PDF speichern"), "pdf");
    m_status = makeNamed<QLabel>(this, "status");
    // A row of its own, wrapped: the whole name stands there, and a long one never widens the window.
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_status->setWordWrap(true);

    // Rows, so that everything stands whole at the preview's first size: paging and zoom above,
    // printing and saving below, then what was done.
    auto* paging = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{first, prev, m_pageLabel, next, last})
        paging->addWidget(w);
    paging->addStretch();
    paging->addWidget(m_zoom);
    auto* output = new QHBoxLayout;
    output->addWidget(print);
    output->addWidget(pdf);
    output->addStretch();
    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(this, m_scroll);
    m_scroll->setWidget(m_view);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addLayout(paging);
    box->addLayout(output);
    box->addWidget(m_status);
    box->addWidget(m_scroll, 1);

    connect(first, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(prev, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(next, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(last, &QToolButton::clicked, this, [this] {
        finish();
        showPage(pageCount() - 1);
    });
    connect(m_zoom, &QComboBox::currentIndexChanged, this, [this] { applyZoom(); });
    connect(print, &QToolButton::clicked, this, [this] { printDocument(); });
    connect(pdf, &QToolButton::clicked, this, [this] { savePdfAs(); });

    // The keys a reader of documents expects, wherever the focus stands in the preview.
    auto key = [this](const QList<QKeySequence>& keys, auto slot) {
        auto* a = new QAction(this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    key({QKeySequence(Qt::Key_PageUp)}, [this] { showPage(m_page - 1); });
    key({QKeySequence(Qt::Key_PageDown)}, [this] { showPage(m_page + 1); });
    key({QKeySequence(Qt::Key_Home)}, [this] { showPage(0); });
    key({QKeySequence(Qt::Key_End)}, [this] {
        finish();
        showPage(pageCount() - 1);
    });
    key({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, [this] { zoomStep(+1); });
    key({QKeySequence::ZoomOut}, [this] { zoomStep(-1); });
    key({QKeySequence::Print}, [this] { printDocument(); });
    m_turns = new QTimer(this);
    m_turns->setSingleShot(true);
    connect(m_turns, &QTimer::timeout, this, &ReportPrinter::writeInTurns);
    documentChanged();
}

void ReportPrinter::run(const QString& tag, ReportGenerator generator)
{
    if (m_busy) {
        m_waiting = Waiting{tag, std::move(generator)};
        return;
    }
    m_turns->stop();
    m_job.reset(); // the report shown before ends here
    m_failed = false;
    m_status->clear(); // what was saved was the report before
    m_status->setToolTip(QString());
    m_generator = std::move(generator);
    m_jobTag = tag;
    m_changesAtStart = gConnection.changeCount();
    m_stateAtStart.reset();
    m_job.emplace(m_generator(*this));
    clearDocument();
    writeUntil(kFirstPages);
}

bool ReportPrinter::finish()
{
    writeUntil(std::numeric_limits<int>::max());
    return !m_job && !m_failed && isComplete();
}

void ReportPrinter::stop()
{
    m_turns->stop();
    m_waiting.reset();
    m_cancelPrint = m_busy;
    if (m_stepping)
        m_stopAfterStep = true; // the step under way is on the stack: its job ends once it returns
    else
        m_job.reset();
}

void ReportPrinter::startWaiting()
{
    if (m_busy || !m_waiting)
        return;
    Waiting w = std::move(*m_waiting);
    m_waiting.reset();
    run(w.tag, std::move(w.generator));
}

bool ReportPrinter::usable(const QString& notDone)
{
    if (finish())
        return true;
    msgBox(notDone, 48);
    return false;
}

void ReportPrinter::writeUntil(int pages, qint64 milliseconds)
{
    if (!m_job || m_stepping)
        return;
    m_stepping = true; // a box shown while a step runs turns the event loop: no step within a step
    QElapsedTimer clock;
    clock.start();
    bool more = true;
    try {
        // A turn reads one state of the data; a change between turns starts the report again, also one
        // committed elsewhere whose notice has not come yet.
        std::optional<ReadSnapshot> snapshot;
        if (gConnection.isOpen())
            snapshot.emplace(gConnection);
        // Within a snapshot of the caller's (a whole --pdf run) nothing can change between turns.
        if (snapshot && snapshot->outermost()) {
            const QString state = snapshot->state();
            if (m_stateAtStart && *m_stateAtStart != state) {
                m_job.emplace(m_generator(*this));
                clearDocument();
            }
            m_stateAtStart = state;
        }
        while (more && pageCount() <= pages && (milliseconds < 0 || clock.elapsed() < milliseconds))
            more = m_job->step();
    } catch (...) {
        m_stepping = false;
        m_stopAfterStep = false;
        m_job.reset();
        m_failed = true;
        documentChanged();
        reportCurrentException(m_jobTag);
        return;
    }
    m_stepping = false;
    if (std::exchange(m_stopAfterStep, false))
        more = false;
    if (more)
        m_turns->start();
    else
        m_job.reset();
    documentChanged();
}

void ReportPrinter::writeInTurns()
{
    if (!gConnection.isOpen()) {
        stop(); // the program is ending: the report has nothing left to read
        return;
    }
    if (m_job && gConnection.changeCount() != m_changesAtStart) {
        // The plan changed under the report: it begins again, so that it shows one state.
        m_changesAtStart = gConnection.changeCount();
        m_stateAtStart.reset();
        m_job.emplace(m_generator(*this));
        clearDocument();
    }
    writeUntil(std::numeric_limits<int>::max(), kTurnMs);
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
    if (m_job && page >= pageCount() - 1) // a page not yet written: written now, that far and no further
        writeUntil(page + 1);
    m_page = qBound(0, page, qMax(0, pageCount() - 1));
    applyZoom();
    m_scroll->verticalScrollBar()->setValue(0); // a new page is read from its top
}

double ReportPrinter::percentScale(int percent) const
{
    return percent / 100.0 * logicalDpiX() / 1440.0;
}

double ReportPrinter::scaleOf(int zoom, int* pages) const
{
    // The room the pages have without scroll bars; a fitted page taller than it brings the vertical
    // bar, so its width is kept free from the start and no horizontal bar comes and goes.
    const QSize room =
        m_scroll->maximumViewportSize() - QSize(2 * PageView::kGap + 1, 2 * PageView::kGap + 1);
    const int bar = m_scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
    const double height = qMax(1, room.height());
    auto fit = [&](int count, bool wholePage) {
        double width = qMax(1, room.width() - (count - 1) * PageView::kGap) / double(count);
        double scale = width / pageWidth();
        if (wholePage)
            scale = qMin(scale, height / pageHeight());
        else if (scale * pageHeight() > height)
            scale = qMax(1.0, width - double(bar) / count) / pageWidth();
        return qMax(0.01, scale);
    };
    *pages = zoom == 2 ? 2 : 1;
    switch (zoom) {
    case 0:
        return fit(1, true);
    case 2:
        return fit(2, true);
    case 3:
        return 0.02;
    case 4:
    case 5:
    case 6:
    case 7:
        return percentScale(kPercents[zoom - 4]);
    default:
        return fit(1, false);
    }
}

void ReportPrinter::zoomStep(int direction)
{
    int pages = 1;
    const double now = scaleOf(m_zoom->currentIndex(), &pages);
    // The next of the percent choices beyond the scale shown, whatever the choice was.
    int best = -1;
    for (int i = 0; i < 4; ++i) {
        const double s = percentScale(kPercents[i]);
        if (direction > 0 ? s > now * 1.001 && best < 0 : s < now * 0.999)
            best = i;
    }
    if (best >= 0)
        m_zoom->setCurrentIndex(4 + best);
}

void ReportPrinter::applyZoom()
{
    const int n = pageCount();
    m_pageLabel->setText(QStringLiteral(" Seite %1 von %2 ").arg(n ? m_page + 1 : 0).arg(n));
    int count = 1;
    const double scale = scaleOf(m_zoom->currentIndex(), &count);
    m_view->setLayout(m_page, count, scale);
}

namespace {
const QString kCreator = QStringLiteral("Fennor Tellomat V1.01");
}

bool ReportPrinter::streamPdf(const QString& path)
{
    {
        const Busy busy(this);
        PdfStream pdf(path, kCreator);
        streamPages(&pdf);
        const bool done = finish();
        streamPages(nullptr);
        if (!done)
            return false; // a report that failed makes no file
        const PdfWritten written = pdf.finish(*this);
        if (written != PdfWritten::NotPlain)
            return written == PdfWritten::Yes;
    }
    // Its pages are gone: the report is written again, whole, for Qt's writer.
    run(m_jobTag, ReportGenerator(m_generator));
    return savePdf(path);
}

bool ReportPrinter::savePdf(const QString& path)
{
    const Busy busy(this);
    if (!finish())
        return false; // a report that failed makes no file
    const PdfWritten written = writeReportPdf(*this, path, kCreator);
    if (written != PdfWritten::NotPlain)
        return written == PdfWritten::Yes;
    // A text our writer cannot show as Qt paints it (a character from another font, a made-up bold):
    // Qt writes the whole document.
    return writeQtPdf(*this, path, kCreator);
}

QString ReportPrinter::proposedPdfName() const
{
    QString folder = QSettings().value(QLatin1String(kPdfFolderKey)).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || !QFileInfo(folder).isWritable())
        folder = fileDialogFolder(QStringLiteral("pdf"), QString());
    QString title = documentTitle();
    title.replace('/', '-');
    return QDir(folder).filePath((title.isEmpty() ? QStringLiteral("Bericht") : title) + ' ' +
                                 QDate::currentDate().toString(Qt::ISODate) + QStringLiteral(".pdf"));
}

void ReportPrinter::savePdfAs()
{
    const Busy busy(this);
    if (!usable(kNotSaved))
        return;
    QFileDialog dialog(this, QStringLiteral("Als PDF speichern"));
    dialog.setObjectName(QStringLiteral("cd"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF-Datei (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QString proposal = proposedPdfName();
    dialog.setDirectory(QFileInfo(proposal).absolutePath());
    dialog.selectFile(QFileInfo(proposal).fileName());
    const QString path = execSaveDialog(dialog);
    if (path.isEmpty())
        return;
    guard("frmDlgDruck/savePdf", [&] {
        if (!savePdf(path))
            tlm::raise(ErrFileAccess, path);
        QSettings().setValue(QLatin1String(kPdfFolderKey), QFileInfo(path).absolutePath());
        // Said where the user looks, without a box to close.
        m_status->setText(QStringLiteral("Gespeichert: ") + QFileInfo(path).fileName());
        m_status->setToolTip(path);
    });
}

void ReportPrinter::printDocument()
{
    const Busy busy(this);
    if (!usable(kNotPrinted))
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(isLandscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, qMax(1, pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    print(printer);
}

void ReportPrinter::print(QPrinter& printer)
{
    const Busy busy(this);
    if (!usable(kNotPrinted))
        return;
    guard("frmDlgDruck/print", [&] { printPages(printer); });
}

void ReportPrinter::printPages(QPrinter& printer)
{
    const int from = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    const int to = qMin(printer.toPage() > 0 ? printer.toPage() - 1 : pageCount() - 1, pageCount() - 1);
    const QString where =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    QPainter p;
    if (!p.begin(&printer))
        tlm::raise(ErrPrinter, where);
    QProgressDialog progress(QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0, to - from + 1, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    m_cancelPrint = false;
    const QRectF target = printer.paperRect(QPrinter::DevicePixel);
    for (int i = from; i <= to && !m_cancelPrint; ++i) {
        progress.setLabelText(QStringLiteral("Now printing Page %1 of %2 on the %3 on %4")
                                  .arg(i + 1)
                                  .arg(pageCount())
                                  .arg(printer.printerName(),
                                       printer.outputFileName().isEmpty() ? QStringLiteral("local") : where));
        progress.setValue(i - from);
        if (progress.wasCanceled())
            break;
        if (i > from)
            printer.newPage();
        paintPage(p, i, QRectF(0, 0, target.width(), target.height()));
    }
    progress.setValue(to - from + 1);
    if (!p.end())
        tlm::raise(ErrPrinter, where);
}

} // namespace tlm
