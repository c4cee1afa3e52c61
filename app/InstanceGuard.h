#pragma once

#include <QLockFile>
#include <QObject>

class QLocalServer;

namespace tlm {

// One program per database: a lock file beside it (tlm.mdb.lock, beside the file a symbolic link
// points to) while the program runs. A second start on the same machine asks the first, through a
// local socket named after the file (so that a second hard link finds it too), to come to the front
// and ends; when the holder is elsewhere or does not answer within ten seconds, it says so.
class InstanceGuard : public QObject
{
    Q_OBJECT
public:
    explicit InstanceGuard(const QString& dbPath, QObject* parent = nullptr);
    ~InstanceGuard() override;

    enum Result {
        First,   // this program holds the database (or no lock can be taken where nothing can be written)
        Raised,  // another program holds it and came to the front
        Refused, // another program holds it; refusal() says which
    };
    // A plan file that the program holding the database is asked to offer for loading (a double
    // click on a .tlm file while the program runs), instead of only coming to the front.
    void setPlanFile(const QString& path) { m_planFile = path; }
    Result acquire();
    QString refusal() const { return m_refusal; }
    // The same for every name of one file (links): two guards of one database have the same.
    QString name() const { return m_serverName; }

signals:
    // A second start asked this program to come to the front.
    void raiseRequested();
    // ... and to offer this plan file for loading.
    void planFileRequested(const QString& path);

private:
    bool listen(); // false: a program here already holds the file under another name
    bool askHolderToRaise() const;

    QString m_dbPath;
    QString m_serverName;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
    QString m_refusal;
    QString m_planFile;
};

} // namespace tlm
