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

// The program's own error numbers (those of the language and of Jet), each with its German text.
enum ErrorNumber {
    ErrInvalidCall = 5,
    ErrOverflow = 6,
    ErrSubscript = 9,
    ErrDivisionByZero = 11,
    ErrTypeMismatch = 13,
    ErrFileWrite = 57,
    ErrFileAccess = 75,
    ErrInvalidNull = 94,
    ErrPrinter = 482,
    ErrArguments = 3001,
    ErrNoCurrentRecord = 3021,
    ErrFileNotFound = 3024,
    ErrInvalidSql = 3129,
    ErrTextAfterSql = 3142,
    ErrFieldTooSmall = 3163,
    ErrChangedElsewhere = 3197,
    ErrNotSupported = 3251,
    ErrItemNotFound = 3265,
    ErrObjectClosed = 3704,
    ErrObjectOpen = 3705,
};

// The German text of a number; "%1" in it stands for the case at hand.
QString errorText(ErrorNumber n);

// Raises the number with its text; what is said of the case at hand fills "%1" or follows ": ".
[[noreturn]] void raise(ErrorNumber n, const QString& about = QString());

} // namespace tlm
