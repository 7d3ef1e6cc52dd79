// What every start of the program does around the delegate: its names, its log, its signals.
#pragma once

#include <QString>

// Call right after the application object exists.
void setUpApplication();
// The application package: share/quillfen_brevant beside the executable's bin/ folder.
QString packageFolder();
