// Turns SIGTERM, SIGINT and SIGHUP (logout, Ctrl+C, a closed terminal) into an orderly quit of
// the event loop, so that what runs when the application quits still runs.
#pragma once

// Call once, after the application object exists.
void quitOnTerminationSignals();
