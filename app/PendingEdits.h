#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QObject;

namespace tlm {

// What the user typed into a window's fields and has not saved. The fields as last shown are kept, so
// that the window asks before it shows something else over them or closes, instead of dropping them.
class PendingEdits
{
public:
    struct Steps
    {
        std::function<QStringList()> fields; // what the fields show now
        std::function<QString()> question;   // "Die Änderungen an … speichern?"
        std::function<bool()> save;          // false when refused (the user told why)
    };
    PendingEdits(const char* tag, Steps steps);

    // The fields show what is stored now.
    void shown() { m_shown = m_steps.fields(); }
    bool changed() const { return m_steps.fields() != m_shown; }
    // Whether the fields may be left: unchanged, nothing can be saved (a read-only database), or the
    // user had them saved (Ja) or dropped (Nein: not asked about again). false when the user stays
    // with them (Abbrechen) or the save was refused.
    bool mayLeave();
    // The same once the event under way is done (a list's click, whose list a save fills anew); go
    // shows what the user went to when the fields may be left.
    void leaveLater(QObject* context, std::function<void()> go);

private:
    const char* m_tag;
    Steps m_steps;
    QStringList m_shown;
};

} // namespace tlm
