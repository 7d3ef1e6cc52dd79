// The per-user folder that holds the configuration files the user maintains.
#pragma once

#include <QString>

// The support folder below the home folder, at the target of any link on the way; created when
// missing, but never together with a missing home folder. The path comes back even when the
// folder could not be made.
QString appSupportFolder();
