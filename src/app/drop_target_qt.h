#pragma once
// The MainWindow's drop target on Qt: takes drags of local files and folders
// (file URLs) and nothing else, and hands each drop's DropList to a callback.
#include <QtGui/QDropEvent>
#include <QtWidgets/QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "app/drop.h"
#include "backup/text.h"

namespace tamsel {

// The local paths of a drag's data, in the source's order: present only when
// the data holds a URL list and every URL in it names a local file or folder.
std::optional<std::vector<Text>> local_paths(const QMimeData* data);

// The drop component 拖放对象1: one drop target for at most one window.
class DropComponent {
 public:
  using DropHandler = std::function<void(const Text& drop_list)>;
  explicit DropComponent(DropHandler on_drop);

  QWidget* window() const { return window_; }

  // The window's drag events, passed on by the registered window.
  void drag_enter(QDragEnterEvent* event);
  void drag_move(QDragMoveEvent* event);
  void drag_leave();
  void drop(QDropEvent* event);

 private:
  friend bool register_drop_target(DropComponent& component, QWidget* window);
  DropEffect chosen_effect(const QDropEvent* event) const;
  void answer(QDragMoveEvent* event) const;

  DropHandler on_drop_;
  QWidget* window_ = nullptr;
  bool acceptable_ = false;
};

// Lets window take drops through the component; false when the component
// already has a window.
bool register_drop_target(DropComponent& component, QWidget* window);

}  // namespace tamsel
