#include "support/FaultVfs.h"

#include "data/Error.h"
#include "data/Globals.h"

#include <cstring>
#include <sqlite3.h>

namespace tlmtest {

namespace {
sqlite3_vfs* g_base = nullptr;
sqlite3_vfs g_vfs;
int g_failAt = 0;
int g_calls = 0;
bool g_failed = false;

struct FaultFile
{
    sqlite3_file base; // our methods
    sqlite3_file* real;
};

bool shouldFail()
{
    if (g_failAt <= 0)
        return false;
    if (++g_calls >= g_failAt) {
        g_failed = true;
        return true;
    }
    return false;
}

sqlite3_file* real(sqlite3_file* f)
{
    return reinterpret_cast<FaultFile*>(f)->real;
}

int xClose(sqlite3_file* f)
{
    int rc = real(f)->pMethods ? real(f)->pMethods->xClose(real(f)) : SQLITE_OK;
    sqlite3_free(real(f));
    return rc;
}
int xRead(sqlite3_file* f, void* b, int n, sqlite3_int64 o)
{
    return real(f)->pMethods->xRead(real(f), b, n, o);
}
int xWrite(sqlite3_file* f, const void* b, int n, sqlite3_int64 o)
{
    return shouldFail() ? SQLITE_IOERR_WRITE : real(f)->pMethods->xWrite(real(f), b, n, o);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 s)
{
    return shouldFail() ? SQLITE_IOERR_TRUNCATE : real(f)->pMethods->xTruncate(real(f), s);
}
int xSync(sqlite3_file* f, int flags)
{
    return shouldFail() ? SQLITE_IOERR_FSYNC : real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* s)
{
    return real(f)->pMethods->xFileSize(real(f), s);
}
int xLock(sqlite3_file* f, int l)
{
    return real(f)->pMethods->xLock(real(f), l);
}
int xUnlock(sqlite3_file* f, int l)
{
    return real(f)->pMethods->xUnlock(real(f), l);
}
int xCheckReservedLock(sqlite3_file* f, int* r)
{
    return real(f)->pMethods->xCheckReservedLock(real(f), r);
}
int xFileControl(sqlite3_file* f, int op, void* a)
{
    return real(f)->pMethods->xFileControl(real(f), op, a);
}
int xSectorSize(sqlite3_file* f)
{
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f)
{
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}

const sqlite3_io_methods g_methods = [] {
    sqlite3_io_methods m;
    std::memset(&m, 0, sizeof m);
    m.iVersion = 1;
    m.xClose = xClose;
    m.xRead = xRead;
    m.xWrite = xWrite;
    m.xTruncate = xTruncate;
    m.xSync = xSync;
    m.xFileSize = xFileSize;
    m.xLock = xLock;
    m.xUnlock = xUnlock;
    m.xCheckReservedLock = xCheckReservedLock;
    m.xFileControl = xFileControl;
    m.xSectorSize = xSectorSize;
    m.xDeviceCharacteristics = xDeviceCharacteristics;
    return m;
}();

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* ff = reinterpret_cast<FaultFile*>(f);
    ff->real = static_cast<sqlite3_file*>(sqlite3_malloc(g_base->szOsFile));
    std::memset(ff->real, 0, g_base->szOsFile);
    const int rc = g_base->xOpen(g_base, name, ff->real, flags, outFlags);
    ff->base.pMethods = rc == SQLITE_OK && ff->real->pMethods ? &g_methods : nullptr;
    if (!ff->base.pMethods)
        sqlite3_free(ff->real);
    return rc;
}
int xDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    return shouldFail() ? SQLITE_IOERR_DELETE : g_base->xDelete(g_base, name, syncDir);
}
int xAccess(sqlite3_vfs*, const char* n, int f, int* r)
{
    return g_base->xAccess(g_base, n, f, r);
}
int xFullPathname(sqlite3_vfs*, const char* n, int s, char* o)
{
    return g_base->xFullPathname(g_base, n, s, o);
}
int xRandomness(sqlite3_vfs*, int n, char* o)
{
    return g_base->xRandomness(g_base, n, o);
}
int xSleep(sqlite3_vfs*, int us)
{
    return g_base->xSleep(g_base, us);
}
int xCurrentTime(sqlite3_vfs*, double* t)
{
    return g_base->xCurrentTime(g_base, t);
}
int xGetLastError(sqlite3_vfs*, int n, char* b)
{
    return g_base->xGetLastError ? g_base->xGetLastError(g_base, n, b) : 0;
}
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t)
{
    return g_base->xCurrentTimeInt64(g_base, t);
}
} // namespace

FaultVfs::FaultVfs()
{
    g_base = sqlite3_vfs_find(nullptr);
    std::memset(&g_vfs, 0, sizeof g_vfs);
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = sizeof(FaultFile);
    g_vfs.mxPathname = g_base->mxPathname;
    g_vfs.zName = "tlmfault";
    g_vfs.xOpen = xOpen;
    g_vfs.xDelete = xDelete;
    g_vfs.xAccess = xAccess;
    g_vfs.xFullPathname = xFullPathname;
    g_vfs.xRandomness = xRandomness;
    g_vfs.xSleep = xSleep;
    g_vfs.xCurrentTime = xCurrentTime;
    g_vfs.xGetLastError = xGetLastError;
    g_vfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    g_failAt = 0;
    g_calls = 0;
    g_failed = false;
    sqlite3_vfs_register(&g_vfs, 1);
}

FaultVfs::~FaultVfs()
{
    sqlite3_vfs_unregister(&g_vfs);
    sqlite3_vfs_register(g_base, 1);
}

void FaultVfs::failAt(int n)
{
    g_failAt = n;
    g_calls = 0;
    g_failed = false;
}

bool FaultVfs::failed() const
{
    return g_failed;
}
int FaultVfs::calls() const
{
    return g_calls;
}

bool runWithFailingWrite(const QString& path, int n, const std::function<void()>& action)
{
    FaultVfs vfs;
    tlm::gConnection.open(path);
    vfs.failAt(n);
    try {
        action();
    } catch (const tlm::Error&) {
    }
    const bool failed = vfs.failed();
    tlm::gConnection.close();
    return failed;
}

} // namespace tlmtest
