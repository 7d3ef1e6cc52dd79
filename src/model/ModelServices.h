// The platform services the model reaches through small interfaces. The model does not own
// them; each may be absent, in which case the operation that needs it does nothing.
#pragma once

class Beeper;
class BrowserWindowFactory;
class Clipboard;
class ModifierKeys;
class Workspace;

struct ModelServices
{
    Clipboard *clipboard = nullptr;
    Workspace *workspace = nullptr;
    Beeper *beeper = nullptr;
    BrowserWindowFactory *browserWindows = nullptr;
    ModifierKeys *modifierKeys = nullptr;
};
