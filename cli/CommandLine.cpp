#include "cli/CommandLine.h"

#include <QRegularExpression>
#include <map>

namespace tlm {

namespace {
// The options that take a value, and what the value is called in a refusal.
const std::map<QString, QString> kValues = {
    {QStringLiteral("--pdf"), QStringLiteral("der Ordner")},
    {QStringLiteral("--csv"), QStringLiteral("die Datei")},
    {QStringLiteral("--db"), QStringLiteral("die Datenbank")},
    {QStringLiteral("--von"), QStringLiteral("das Datum")},
    {QStringLiteral("--bis"), QStringLiteral("das Datum")},
};

CommandLine usage(const QString& why)
{
    CommandLine c;
    c.action = CommandLine::Usage;
    c.refusal = why + QStringLiteral(" (tlm --help zeigt die Optionen).");
    return c;
}
} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    std::map<QString, QString> values;
    bool help = false, version = false;
    QStringList copy, words;
    for (int i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool inline_ = false;
        if (name.startsWith(QLatin1String("--")) && name.contains('=')) {
            value = name.mid(name.indexOf('=') + 1);
            name = name.left(name.indexOf('='));
            inline_ = true;
        }
        if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
            name == QLatin1String("--version")) {
            if (inline_)
                return usage(QStringLiteral("%1 nimmt keinen Wert").arg(name));
            (name == QLatin1String("--version") ? version : help) = true;
            continue;
        }
        if (name == QLatin1String("--kopieren")) {
            // Source and target follow as two words; a server address is one of them.
            if (inline_ || !copy.isEmpty())
                return usage(inline_ ? QStringLiteral("--kopieren nimmt QUELLE und ZIEL als zwei Angaben")
                                     : QStringLiteral("--kopieren ist mehr als einmal angegeben"));
            while (copy.size() < 2 && i + 1 < arguments.size() &&
                   !arguments[i + 1].startsWith(QLatin1String("--")))
                copy << arguments[++i];
            if (copy.size() < 2)
                return usage(QStringLiteral("Nach --kopieren fehlen QUELLE und ZIEL"));
            continue;
        }
        const auto known = kValues.find(name);
        if (known == kValues.end()) {
            if (name.startsWith(QLatin1Char('-')))
                return usage(QStringLiteral("Unbekannte Option %1").arg(name));
            words << name; // a plan file to offer, when the window starts
            continue;
        }
        if (!inline_) {
            // "--csv --pdf x" lacks the file; a lone "-" is a value (the standard output).
            if (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1String("--")))
                value = arguments[++i];
        }
        if (value.isEmpty())
            return usage(QStringLiteral("Nach %1 fehlt %2").arg(name, known->second));
        if (!values.emplace(name, value).second)
            return usage(QStringLiteral("%1 ist mehr als einmal angegeben").arg(name));
    }

    CommandLine c;
    if (help || version) {
        c.action = help ? CommandLine::Help : CommandLine::Version;
        return c;
    }
    auto given = [&](const char* name) { return values.count(QString::fromLatin1(name)) != 0; };
    auto value = [&](const char* name) {
        return given(name) ? values.at(QString::fromLatin1(name)) : QString();
    };
    if ((given("--von") || given("--bis")) && !given("--pdf"))
        return usage(QStringLiteral("--von und --bis gelten nur mit --pdf"));
    for (const auto& [name, date] : {std::pair{"--von", &c.run.von}, std::pair{"--bis", &c.run.bis}}) {
        if (!given(name))
            continue;
        static const QRegularExpression form(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d\\d\\d$"));
        if (form.match(value(name)).hasMatch())
            *date = QDate::fromString(value(name), QStringLiteral("dd.MM.yyyy"));
        if (!date->isValid())
            return usage(QStringLiteral("Nach %1 steht kein Datum der Form TT.MM.JJJJ: „%2“")
                             .arg(QString::fromLatin1(name), value(name)));
    }
    if (!copy.isEmpty()) {
        if (!words.isEmpty())
            return usage(QStringLiteral("Unerwartete Angabe „%1“").arg(words[0]));
        if (!values.empty())
            return usage(QStringLiteral("--kopieren steht allein"));
        c.action = CommandLine::Copy;
        c.copySource = copy[0];
        c.copyTarget = copy[1];
        return c;
    }
    c.db = value("--db");
    c.run.pdfFolder = value("--pdf");
    c.run.csvFile = value("--csv");
    c.action = given("--pdf") || given("--csv") ? CommandLine::Batch : CommandLine::Window;
    // One plan file, and only for the window (the file manager's "open with").
    if (!words.isEmpty() && (c.action != CommandLine::Window || words.size() > 1))
        return usage(
            QStringLiteral("Unerwartete Angabe „%1“").arg(words[c.action == CommandLine::Window ? 1 : 0]));
    if (!words.isEmpty())
        c.planFile = words[0];
    return c;
}

} // namespace tlm
