#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <utility>

namespace kivo {

// A window that exists once: made on first use, gone when unloaded, made
// afresh with its design values on the next use. A window that closes itself
// (WA_DeleteOnClose) counts as unloaded too.
template <class T>
class FormSlot {
 public:
  using Factory = std::function<T*()>;

  explicit FormSlot(Factory factory) : factory_(std::move(factory)) {}
  FormSlot(const FormSlot&) = delete;
  FormSlot& operator=(const FormSlot&) = delete;
  ~FormSlot() { delete form_.data(); }

  T* get() {
    if (!form_) form_ = factory_();
    return form_;
  }
  T* peek() const { return form_; }
  bool loaded() const { return !form_.isNull(); }

  // Safe from inside one of the window's own handlers: it disappears at
  // once and is deleted when control is back in the event loop.
  void unload() {
    if (!form_) return;
    T* form = form_;
    form_.clear();
    form->hide();
    form->deleteLater();
  }

 private:
  Factory factory_;
  QPointer<T> form_;
};

}  // namespace kivo
