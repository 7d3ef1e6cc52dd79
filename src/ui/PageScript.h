// Running a script in a page with an answer that tells success from failure: the engine's own
// script call reports no errors.
#pragma once

#include "BrowserWindow.h"

#include <QString>
#include <QVariant>

namespace PageScript {

// The script, wrapped to run inside a try block that answers {ok, result} or {ok, error}.
QString wrapped(const QString &script);

// The outcome a wrapped script's answer stands for. Anything but the wrapper's answer (none at
// all when the page went away first) is a failure: a script nobody heard from did not succeed.
ScriptOutcome outcome(const QVariant &reply);

} // namespace PageScript
