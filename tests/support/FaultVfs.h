#pragma once

#include <QString>
#include <functional>

namespace tlmtest {

// An SQLite VFS over the default one that fails the n-th write or sync (counted over every file
// SQLite opens through it) with an I/O error. Installed as the default while it lives.
class FaultVfs
{
public:
    FaultVfs();
    ~FaultVfs();
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    // From now on the n-th write or sync fails (and every later one: the disk stays bad); 0 disarms.
    void failAt(int n);
    bool failed() const;
    int calls() const;
};

// Opens the database at path, runs action with its n-th write failing (the error it raises is the
// expected outcome), closes it again; whether a write failed.
bool runWithFailingWrite(const QString& path, int n, const std::function<void()>& action);

} // namespace tlmtest
