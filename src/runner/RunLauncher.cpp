// Placeholder until the run window lands: starts nothing.
#include "runner/RunLauncher.h"

namespace kivo {

struct RunLauncher::Impl {};

RunLauncher::RunLauncher(Store&, Host&, Clock&, RunVariant, QObject* parent)
    : QObject(parent) {}
RunLauncher::~RunLauncher() = default;
void RunLauncher::start() {}
void RunLauncher::stop() {}
bool RunLauncher::loaded() const { return false; }
RunWindow* RunLauncher::window() const { return nullptr; }

}  // namespace kivo
