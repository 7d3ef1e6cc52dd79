// The configuration reader on any bytes, in both shapes it reads: no crash, no abort, no leak,
// and (with libFuzzer's -timeout) no long work.
#include "FuzzSupport.h"
#include "PropertyListReader.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = QStringLiteral("fuzzed.plist");
    stringDictionaryFromData(bytesOf(data, size), path);
    jiraUsersDictionaryFromData(bytesOf(data, size), path);
    return 0;
}
