#include "platform_ui/Icons.h"

#include <QPixmap>

#include <array>

#include "kivo16.xpm"
#include "kivo32.xpm"
#include "toolbar/copy.xpm"
#include "toolbar/copy16.xpm"
#include "toolbar/help.xpm"
#include "toolbar/help16.xpm"
#include "toolbar/monitor.xpm"
#include "toolbar/monitor16.xpm"
#include "toolbar/new.xpm"
#include "toolbar/new16.xpm"
#include "toolbar/open.xpm"
#include "toolbar/open16.xpm"
#include "toolbar/paste.xpm"
#include "toolbar/paste16.xpm"
#include "toolbar/run.xpm"
#include "toolbar/run16.xpm"
#include "toolbar/save.xpm"
#include "toolbar/save16.xpm"
#include "toolbar/stop.xpm"
#include "toolbar/stop16.xpm"

namespace kivo {
namespace {

struct Pictures {
  std::string_view name;
  const char* const* large;
  const char* const* small;
};

constexpr std::array<Pictures, 9> kToolbar{{
    {"new", new_xpm, new16_xpm},
    {"open", open_xpm, open16_xpm},
    {"save", save_xpm, save16_xpm},
    {"copy", copy_xpm, copy16_xpm},
    {"paste", paste_xpm, paste16_xpm},
    {"monitor", monitor_xpm, monitor16_xpm},
    {"run", run_xpm, run16_xpm},
    {"stop", stop_xpm, stop16_xpm},
    {"help", help_xpm, help16_xpm},
}};

QIcon iconOf(const char* const* large, const char* const* small) {
  QIcon icon;
  icon.addPixmap(QPixmap(small));
  icon.addPixmap(QPixmap(large));
  return icon;
}

}  // namespace

QIcon programIcon() { return iconOf(kivo32_xpm, kivo16_xpm); }

QIcon noIcon() {
  QPixmap clear(16, 16);
  clear.fill(Qt::transparent);
  return QIcon(clear);
}

QIcon toolbarIcon(std::string_view name) {
  for (const Pictures& p : kToolbar)
    if (p.name == name) return iconOf(p.large, p.small);
  return {};
}

}  // namespace kivo
