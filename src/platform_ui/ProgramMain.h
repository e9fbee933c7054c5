#pragma once

#include <functional>
#include <memory>

namespace kivo {

class Clock;
class Host;

struct ProgramNames {
  // The window class, which the desktop entry names (StartupWMClass): Qt
  // takes it from the application's name at the first window and keeps it.
  const char* windowClass;
  // The application's name from then on, where another is wanted: Qt titles
  // a window that has no caption with it.
  const char* afterFirstWindow = nullptr;
};

// What a program keeps for as long as its event loop runs.
using Running = std::shared_ptr<void>;

// The main() of both programs: Qt's settings in a folder of the run's own,
// the display checked, the application with its Japanese texts, the message
// boxes and the real clock; `start` puts the program up, and the event loop
// runs until the program quits or SIGTERM or SIGHUP (a logout) ends it.
int programMain(int argc, char* argv[], const ProgramNames& names,
                const std::function<Running(Host&, Clock&)>& start);

}  // namespace kivo
