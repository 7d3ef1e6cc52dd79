// Waits on a web page in an event loop that the page's own signals end.
#pragma once

class QWebEnginePage;

namespace PageWaits {

// The generous wait for anything the web engine does.
inline constexpr int kTimeoutMs = 30000;

// Runs the event loop until the page's next load finishes; false when that load failed or did
// not finish in time.
bool nextLoad(QWebEnginePage &page);

// Waits for the stand-in's login page to load, then sends its form as a user would; true once
// the page it leads to has loaded.
bool logInOnceLoaded(QWebEnginePage &page);

} // namespace PageWaits
