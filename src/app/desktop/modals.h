// The modal dialogs of ours that are open right now (message boxes, file choosers), so the
// window can dismiss them before it closes: GTK drops a close request while one is open.
#pragma once

#include <functional>
#include <map>

namespace calcora::desktop {

class Modals {
 public:
  using Dismiss = std::function<void()>;

  // Remembers how to dismiss a dialog that has just opened; the id forgets it again.
  int add(Dismiss dismiss) {
    const int id = next_id_++;
    open_.emplace(id, std::move(dismiss));
    return id;
  }
  void remove(int id) { open_.erase(id); }
  bool any() const { return !open_.empty(); }

  // Each dismiss answers its dialog as cancelled and calls remove() itself.
  void dismiss_all() {
    while (!open_.empty()) {
      auto it = open_.begin();
      Dismiss dismiss = std::move(it->second);
      open_.erase(it);
      dismiss();
    }
  }

 private:
  int next_id_ = 1;
  std::map<int, Dismiss> open_;
};

}  // namespace calcora::desktop
