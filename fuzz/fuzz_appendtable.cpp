// The report printer's table format and row parser: the first line is the format, the rest the rows.
#include "data/Error.h"
#include "reports/ReportWriter.h"

#include <QGuiApplication>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const int nl = input.indexOf('\n');
    const QString format = nl < 0 ? input : input.left(nl);
    const QString rows = nl < 0 ? QString() : input.mid(nl + 1);
    tlm::ReportWriter w;
    w.PageMargins(1000, 1500, 500);
    w.PageHeader(QStringLiteral("a|b|c"));
    w.BeginDocument();
    try {
        w.AppendTable(format, rows);
        w.AppendTable(format, rows, Qt::lightGray);
        w.EndDocument();
        for (const tlm::ReportRow& r : w.rows())
            if (r.top + r.height > tlm::ReportWriter::kPageHeight && r.top > 1000)
                std::abort(); // a row that started low enough must have gone to a new page
        w.rowTexts();
    } catch (const tlm::Error& e) {
        if (e.number != 5)
            std::abort();
    }
    return 0;
}
