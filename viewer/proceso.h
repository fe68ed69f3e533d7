#pragma once

#include <functional>

// Ends the process with a status, at once: no event loop exit and no
// destructors, only the standard streams flushed so no log line is lost.
[[noreturn]] void terminaProceso(int estado);

// What the window calls where the program ends. Tests install one that
// throws, so that they can observe the status without dying.
using Terminador = std::function<void(int estado)>;
