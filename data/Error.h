#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace tlm {

// A run-time failure: the number and the German description the user and the log see.
struct Error : std::exception
{
    int number;
    QString description;
    QString detail; // the engine's own words, for the log line only

    Error(int n, QString d, QString engineText = {})
        : number(n), description(std::move(d)), detail(std::move(engineText)), m_what(text().toUtf8())
    {}
    const char* what() const noexcept override { return m_what.constData(); }
    QString text() const { return QString::number(number) + "/" + description; }

private:
    QByteArray m_what;
};

enum ErrorNumber {
    ErrOverflow = 6,
    ErrDivisionByZero = 11,
    ErrTypeMismatch = 13,
    ErrInvalidNull = 94,
    ErrFieldTooSmall = 3163,
    ErrFileNotFound = 3024,
};

[[noreturn]] inline void raise(int number, const QString& description)
{
    throw Error(number, description);
}
[[noreturn]] inline void raiseOverflow()
{
    raise(ErrOverflow, QStringLiteral("Überlauf"));
}
[[noreturn]] inline void raiseDivisionByZero()
{
    raise(ErrDivisionByZero, QStringLiteral("Division durch Null"));
}
[[noreturn]] inline void raiseTypeMismatch()
{
    raise(ErrTypeMismatch, QStringLiteral("Typen unverträglich"));
}
[[noreturn]] inline void raiseInvalidNull()
{
    raise(ErrInvalidNull, QStringLiteral("Unzulässige Verwendung von Null"));
}

} // namespace tlm
