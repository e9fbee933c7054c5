// Build helper: writes an XPM icon as PNG, the form desktops' menus read.
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s ICON.xpm ICON.png\n", argv[0]);
    return 2;
  }
  const QImage icon(QString::fromLocal8Bit(argv[1]));
  if (icon.isNull() || !icon.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "cannot convert %s to %s\n", argv[1], argv[2]);
    return 1;
  }
  return 0;
}
