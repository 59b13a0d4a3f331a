#pragma once
#include <functional>

// SIGTERM, SIGINT and SIGHUP end the program in order instead of killing it: the signal handler
// only writes a byte to a pipe, and the event loop, reading it, calls whenSignalled. Installed once.
void EndOnTerminationSignals(std::function<void()> whenSignalled);
