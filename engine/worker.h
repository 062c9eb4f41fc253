#pragma once
#include <functional>
#include <string>

namespace tq::engine {

// Converts every entry of g_inputFiles, publishing progress in g_progress
// under g_progressMutex. The front end sets ConversionRunning to 1 before it
// starts the worker and clears it (under the mutex) to stop between files.
// After a success: %n% advances, a new %rnd% is drawn and the file time is set.
// `print` receives the debug lines (console debug mode only).
int ConversionWorker(const std::function<void(const std::string&)>& print = {});

// A gate the worker passes between files and between pipeline steps; the
// front end closes it to pause the worker and opens it to let it go on.
void PauseWorker();
void ResumeWorker();
// Called by the worker at its safe points; blocks while the gate is closed.
void PassPauseGate();

}  // namespace tq::engine
