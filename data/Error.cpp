#include "data/Error.h"

namespace tlm {

QString errorText(ErrorNumber n)
{
    switch (n) {
    case ErrInvalidCall:
        return QStringLiteral("Unzulässiger Prozeduraufruf oder ungültiges Argument");
    case ErrOverflow:
        return QStringLiteral("Überlauf");
    case ErrSubscript:
        return QStringLiteral("Index außerhalb des gültigen Bereichs");
    case ErrDivisionByZero:
        return QStringLiteral("Division durch Null");
    case ErrTypeMismatch:
        return QStringLiteral("Typen unverträglich");
    case ErrFileWrite:
        return QStringLiteral("Fehler beim Schreiben der Datei");
    case ErrFileAccess:
        return QStringLiteral("Fehler beim Zugriff auf Pfad/Datei");
    case ErrInvalidNull:
        return QStringLiteral("Unzulässige Verwendung von Null");
    case ErrPrinter:
        return QStringLiteral("Druckerfehler");
    case ErrArguments:
        return QStringLiteral(
            "Argumente sind vom falschen Typ, liegen außerhalb des zulässigen Bereichs oder "
            "sind miteinander unvereinbar.");
    case ErrNoCurrentRecord:
        return QStringLiteral("Kein aktueller Datensatz.");
    case ErrFileNotFound:
        return QStringLiteral("Die Datenbank '%1' wurde nicht gefunden.");
    case ErrInvalidSql:
        return QStringLiteral("Ungültige SQL-Anweisung.");
    case ErrTextAfterSql:
        return QStringLiteral("Zeichen nach dem Ende der SQL-Anweisung gefunden.");
    case ErrFieldTooSmall:
        return QStringLiteral("Das Feld ist zu klein, um die Menge der Daten zu akzeptieren, die Sie "
                              "hinzufügen wollten.");
    case ErrChangedElsewhere:
        return QStringLiteral("Der Eintrag wurde inzwischen an einem anderen Arbeitsplatz geändert und wird "
                              "neu geladen.");
    case ErrNotSupported:
        return QStringLiteral("Der Vorgang wird für diesen Objekttyp nicht unterstützt.");
    case ErrItemNotFound:
        return QStringLiteral("Element in der Auflistung nicht gefunden");
    case ErrObjectClosed:
        return QStringLiteral("Der Vorgang ist für ein geschlossenes Objekt nicht zulässig.");
    case ErrObjectOpen:
        return QStringLiteral("Der Vorgang ist für ein geöffnetes Objekt nicht zulässig.");
    }
    return QString();
}

void raise(ErrorNumber n, const QString& about)
{
    QString text = errorText(n);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(about);
    else if (!about.isEmpty())
        text += QStringLiteral(": ") + about;
    throw Error(n, text);
}

} // namespace tlm
