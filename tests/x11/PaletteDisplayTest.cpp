#include "support/XServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace kivo::test {
namespace {

struct Program {
  const char* path;
  const char* instance;
  const char* windowClass;
  const char* desktopFile;
};
const Program kPrograms[] = {
    {KIVO_EDITOR_PATH, "kivo", "kivo", "kivo.desktop"},
    {KIVO_PLAYER_PATH, "form", "kivo-form", "kivo-form.desktop"},
};

// Qt alone crashes in its first paint on an 8-bit palette display; both
// programs must come up there with their first box (the editor's being its
// colour warning), on an X server of this test's own. Their windows carry
// the class their desktop entries name.
TEST(PaletteDisplay, BothProgramsShowTheirFirstBoxUnderTheirWindowClass) {
  const XServer server("1280x1024x8");
  ASSERT_TRUE(server.ready()) << qPrintable(server.problem());
  const QString& display = server.display();
  for (const auto& [program, instance, windowClass, desktopFile] : kPrograms) {
    QFile entry(QStringLiteral(KIVO_RESOURCES "/") + desktopFile);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains(QByteArray("StartupWMClass=") + windowClass + '\n'));
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    run.setProcessEnvironment(env);
    run.start(QString::fromLatin1(program), {});
    ASSERT_TRUE(run.waitForStarted()) << program;
    bool boxShown = false;
    for (QDeadlineTimer limit(10000);
         !boxShown && !limit.hasExpired() && run.state() == QProcess::Running;
         QThread::msleep(50)) {
      QProcess tree;
      tree.start(QStringLiteral("xwininfo"), {"-display", display, "-root", "-tree"});
      tree.waitForFinished(2000);
      boxShown = tree.readAllStandardOutput().contains(
          QStringLiteral(R"("KORVANEST  KIVO3.0": ("%1" "%2"))").arg(instance, windowClass).toUtf8());
    }
    EXPECT_TRUE(boxShown) << program;
    EXPECT_EQ(run.state(), QProcess::Running)
        << program << run.readAllStandardError().toStdString();
    run.kill();
    run.waitForFinished();
  }
}

}  // namespace
}  // namespace kivo::test
