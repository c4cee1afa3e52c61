#pragma once

#include "app/Named.h"
#include "data/Recordset.h"

#include <QDialog>
#include <functional>
#include <initializer_list>
#include <utility>

class QDateEdit;
class QFrame;
class QLayout;
class QLineEdit;
class QPushButton;

namespace tlm {

// 15 twips are one pixel at 96 dpi; the windows keep their designed sizes.
constexpr int tw(int twips)
{
    return twips / 15;
}

// What every dialog of the program shares: its name, caption and designed size; Enter presses the
// default button (OK), Escape closes without saving; "unload" closes it.
class Dialog : public QDialog
{
    Q_OBJECT
public:
    Dialog(const QString& name, const QString& caption, int widthTwips, int heightTwips);
    void unload() { done(0); }
    void done(int result) override;

protected:
    // The window opens in the size the user left it in (the designed size is the smallest).
    void keepSize();
    // A child control named as the code names it (tests and tools find it by that name).
    template <class W, class... A> W* make(const char* name, A&&... args)
    {
        return makeNamed<W>(this, name, std::forward<A>(args)...);
    }
    QFrame* makeLine(const char* name);
    // The frame of a small form: its fields (with the room below them unless they take it, stretch >
    // 0), the line, and the buttons in a row at the right, one of them at the left when given.
    void layOutForm(QLayout* fields, QWidget* line, std::initializer_list<QWidget*> right,
                    QWidget* left = nullptr, int stretch = 0);
    // A date box (DateBox) with its calendar, showing dd.MM.yyyy.
    QDateEdit* makeDatePicker(const char* name);
    // A date box holds a date of the years a plan takes; otherwise the user is told, the box gets the
    // focus and the result is false.
    bool requireDate(QDateEdit* box);
    // Both dates as above, Bis not before Von, and at most kLongestSpan days from the one to the other
    // (tooLong says so in the tool's words).
    bool requireSpan(QDateEdit* von, QDateEdit* bis, const QString& tooLong = QString());
    // The plan's span (its first year) into Von and Bis; nothing when the plan is empty.
    void proposeSpan(QDateEdit* von, QDateEdit* bis);
    // A button that Enter does not press; only OK is the default.
    QPushButton* makeButton(const char* name, const QString& caption);
    QPushButton* makeOkButton();
    void tabOrder(std::initializer_list<QWidget*> order);
    // A number box holds a number under the German format, or nothing; otherwise the user is told,
    // the box gets the focus and the result is false.
    bool requireNumber(QLineEdit* box);
    // A whole-number box holds a whole number from lowest to highest (or nothing, when the database
    // is left to refuse that); a fraction or other text is refused, a number out of range with
    // outOfRange. Refused, the box gets the focus and the result is false.
    bool requireWholeNumber(QLineEdit* box, int lowest, int highest, const QString& outOfRange,
                            bool emptyAllowed = true);
    // OK saves and closes the window only when the save succeeded.
    void onOk(QPushButton* ok, const char* tag, std::function<bool()> save);
    // An editor's OK: its record written (saveRecord) unless another workstation changed or deleted
    // it since the editor read it at version. Then nothing is written, the user is told, and the
    // window shows the record as it is now (reload, which reads version anew) or closes when it is
    // gone. True when saved; version is the record's new one.
    bool saveEditedRecord(const QString& table, const QString& keyColumn, qint32 key, const QString& columns,
                          const std::function<void(Recordset&)>& assign, qint64& version,
                          const std::function<void()>& reload);
    // The record of the window was deleted at another workstation; the window is closing.
    bool recordGone() const { return m_recordGone; }

private:
    bool m_keepSize = false;
    bool m_recordGone = false;
};

} // namespace tlm
