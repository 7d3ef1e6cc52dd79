#include "TemporaryHome.h"

TemporaryHome::TemporaryHome()
    : mPreviousHome(qgetenv("HOME"))
{
    qputenv("HOME", mDir.path().toUtf8());
    for (const char *name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DOWNLOAD_DIR"})
        qunsetenv(name);
}

TemporaryHome::~TemporaryHome()
{
    qputenv("HOME", mPreviousHome);
}
