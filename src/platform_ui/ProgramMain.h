#pragma once

#include <functional>
#include <memory>

namespace kivo {

class Clock;
class Host;

// The main() of both programs: Qt's settings in a folder of the run's own,
// the display checked, the application named `windowClass` (the class that
// the desktop entry names, which Qt takes at the first window) and
// `laterName` from then on if given, its Japanese texts, the message boxes
// and the real clock. `start` puts the program up and returns what it keeps
// while the event loop runs: until it quits, or SIGTERM or SIGHUP ends it.
int programMain(int argc, char* argv[], const char* windowClass, const char* laterName,
                const std::function<std::shared_ptr<void>(Host&, Clock&)>& start);

}  // namespace kivo
