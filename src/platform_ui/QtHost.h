#pragma once

#include "platform/Host.h"

namespace kivo {

class QtHost final : public Host {
 public:
  void message(const QString& text) override;
  void messageFor(QWidget* window, const QString& text,
                  std::function<void()> closed) override;
  QString openFileName(const QString& current) override;
  QString saveFileName(const QString& current) override;
  void beep() override;
};

}  // namespace kivo
