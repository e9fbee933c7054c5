#include "platform_ui/PaintableDisplay.h"

#include "platform_ui/Xcb.h"

#include <QGuiApplication>
#include <QWindow>

#include <cstdlib>
#include <cstring>

namespace kivo {
namespace {

using xcb::Reply;

// Below this depth Qt knows no image format for a colour visual.
constexpr int kTrueColourDepth = 15;

bool runsOnX11() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* display = std::getenv("DISPLAY");
  const bool xcb = !platform || !*platform || std::strncmp(platform, "xcb", 3) == 0;
  return xcb && display && *display;
}

const xcb_screen_t* screenNumber(xcb_connection_t* connection, int number) {
  for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
       xcb_screen_next(&it), --number)
    if (number == 0) return it.data;
  return nullptr;
}

xcb_visualid_t greyVisual(const xcb_screen_t& screen) {
  for (auto depth = xcb_screen_allowed_depths_iterator(&screen); depth.rem;
       xcb_depth_next(&depth)) {
    if (depth.data->depth != 8) continue;
    for (auto v = xcb_depth_visuals_iterator(depth.data); v.rem; xcb_visualtype_next(&v))
      if (v.data->_class == XCB_VISUAL_CLASS_GRAY_SCALE) return v.data->visual_id;
  }
  return 0;
}

}  // namespace

PaintableDisplay::PaintableDisplay(int argc, char** argv) : args_(argv, argv + argc) {
  if (runsOnX11()) {
    int number = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &number);
    const xcb_screen_t* screen =
        xcb_connection_has_error(connection) ? nullptr : screenNumber(connection, number);
    // A display we cannot reach is Qt's to report.
    if (screen && screen->root_depth < kTrueColourDepth) {
      if (const xcb_visualid_t grey = greyVisual(*screen))
        visualId_ = std::to_string(grey);
      else
        problem_ = "この画面の色（" + std::to_string(screen->root_depth) +
                   " ビット）では表示できません。16 ビット以上のカラーモードで起動してください。";
    }
    xcb_disconnect(connection);
  }
  if (!visualId_.empty()) {
    args_.push_back(visualOption_.data());
    args_.push_back(visualId_.data());
  }
  argc_ = static_cast<int>(args_.size());
  args_.push_back(nullptr);
}

void PaintableDisplay::fillGreyColourMap() const {
  if (visualId_.empty()) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11) return;
  xcb_connection_t* connection = x11->connection();
  // Qt makes one colour map for the visual, with its first window, and
  // keeps it for every window after.
  QWindow probe;
  probe.create();
  const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, static_cast<xcb_window_t>(probe.winId())),
      nullptr));
  if (!attributes) return;
  const Reply<xcb_alloc_color_cells_reply_t> cells(xcb_alloc_color_cells_reply(
      connection, xcb_alloc_color_cells(connection, 0, attributes->colormap, 256, 0), nullptr));
  if (!cells) return;
  const uint32_t* pixels = xcb_alloc_color_cells_pixels(cells.get());
  std::vector<xcb_coloritem_t> ramp;
  for (int i = 0; i < xcb_alloc_color_cells_pixels_length(cells.get()); ++i) {
    const uint16_t level = greyLevel(pixels[i]);
    ramp.push_back({pixels[i], level, level, level,
                    XCB_COLOR_FLAG_RED | XCB_COLOR_FLAG_GREEN | XCB_COLOR_FLAG_BLUE, 0});
  }
  xcb_store_colors(connection, attributes->colormap, static_cast<uint32_t>(ramp.size()),
                   ramp.data());
  xcb_flush(connection);
}

}  // namespace kivo
