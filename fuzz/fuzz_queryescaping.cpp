// The page script that types the query into Jira's search box, run in a JavaScript engine with
// a stand-in page: whatever the query text, the box receives exactly that text, the script's
// value is that text, and the script does nothing else (it finds the box once and adds no global
// name).
#include "FuzzSupport.h"
#include "JiraScripts.h"

#include <QCoreApplication>
#include <QJSEngine>

#include <sanitizer/lsan_interface.h>

namespace {

// The JavaScript engine keeps its objects behind tagged values the leak checker cannot follow,
// so what it allocates would all be reported as leaked; this target is about the script text.
class EngineAllocations
{
public:
    EngineAllocations() { __lsan_disable(); }
    ~EngineAllocations() { __lsan_enable(); }
    Q_DISABLE_COPY_MOVE(EngineAllocations)
};

const QString kStandInPage =
    QStringLiteral("var box = { value: null }; var lookups = 0;"
                   "var document = { getElementById: function(id) {"
                   "  lookups += 1; return id === 'advanced-search' ? box : null; } };");

QJSEngine *engine = nullptr;
qint64 globalNames = 0;

qint64 countGlobalNames()
{
    return engine->evaluate(QStringLiteral("Object.getOwnPropertyNames(globalThis).length"))
        .toInt();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    silenceLog();
    const EngineAllocations engineAllocations;
    new QCoreApplication(*argc, *argv);
    engine = new QJSEngine;
    engine->evaluate(kStandInPage);
    globalNames = countGlobalNames();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = textOf(data, size);
    const EngineAllocations engineAllocations;
    engine->evaluate(QStringLiteral("box.value = null; lookups = 0;"));
    const QJSValue result = engine->evaluate(JiraScripts::setSearchText(text));
    const QJSValue typed = engine->evaluate(QStringLiteral("box.value"));
    const QJSValue lookups = engine->evaluate(QStringLiteral("lookups"));
    if (result.isError() || result.toString() != text || typed.toString() != text ||
        lookups.toInt() != 1 || countGlobalNames() != globalNames)
        broken(QStringLiteral("the script types the text exactly and does nothing else"),
               QStringLiteral("text: %1\nscript: %2\nresult: %3\nbox: %4\nlookups: %5")
                   .arg(text, JiraScripts::setSearchText(text), result.toString(), typed.toString(),
                        lookups.toString()));
    return 0;
}
