#include "app/drop_target_qt.h"

#include <QtCore/QMimeData>
#include <QtCore/QUrl>

#include <utility>

namespace tamsel {

namespace {
Qt::DropAction to_action(DropEffect effect) {
  switch (effect) {
    case DropEffect::Copy: return Qt::CopyAction;
    case DropEffect::Move: return Qt::MoveAction;
    case DropEffect::Link: return Qt::LinkAction;
    case DropEffect::None: break;
  }
  return Qt::IgnoreAction;
}

bool names_local_file(const QUrl& url) {
  if (!url.isValid() || !url.isLocalFile()) return false;
  const QString host = url.host();
  if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0) {
    return false;
  }
  return !url.path().isEmpty();
}

// The path's bytes as the file system holds them (a name need not be UTF-8),
// without the trailing separator a folder's URL may carry.
Text path_bytes(const QUrl& url) {
  QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  while (bytes.size() > 1 && bytes.endsWith('/')) bytes.chop(1);
  return Text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
}  // namespace

std::optional<std::vector<Text>> local_paths(const QMimeData* data) {
  if (!data || !data->hasUrls()) return std::nullopt;
  std::vector<Text> paths;
  for (const QUrl& url : data->urls()) {
    if (!names_local_file(url)) return std::nullopt;
    paths.push_back(path_bytes(url));
  }
  return paths;
}

DropComponent::DropComponent(DropHandler on_drop) : on_drop_(std::move(on_drop)) {}

DropEffect DropComponent::chosen_effect(const QDropEvent* event) const {
  DragKeys keys;
  keys.ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  keys.shift = event->modifiers().testFlag(Qt::ShiftModifier);
  AllowedEffects allowed;
  allowed.copy = event->possibleActions().testFlag(Qt::CopyAction);
  allowed.move = event->possibleActions().testFlag(Qt::MoveAction);
  allowed.link = event->possibleActions().testFlag(Qt::LinkAction);
  return choose_drop_effect(acceptable_, keys, allowed);
}

void DropComponent::answer(QDragMoveEvent* event) const {
  Qt::DropAction action = to_action(chosen_effect(event));
  event->setDropAction(action);
  if (action == Qt::IgnoreAction) {
    event->ignore();
  } else {
    event->accept();
  }
}

void DropComponent::drag_enter(QDragEnterEvent* event) {
  acceptable_ = local_paths(event->mimeData()).has_value();
  answer(event);
}

void DropComponent::drag_move(QDragMoveEvent* event) { answer(event); }

void DropComponent::drag_leave() { acceptable_ = false; }

void DropComponent::drop(QDropEvent* event) {
  DropEffect effect = chosen_effect(event);
  acceptable_ = false;
  std::optional<std::vector<Text>> paths;
  if (effect != DropEffect::None) paths = local_paths(event->mimeData());
  if (paths) {
    Text drop_list = build_drop_list(*paths);
    if (on_drop_) on_drop_(drop_list);
  }
  // The originals stay where they are: the source learns of a copy at most,
  // whatever effect the pointer showed, or of a refused drop.
  if (paths && event->possibleActions().testFlag(Qt::CopyAction)) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
  }
}

bool register_drop_target(DropComponent& component, QWidget* window) {
  if (component.window_ || !window) return false;
  component.window_ = window;
  window->setAcceptDrops(true);
  return true;
}

}  // namespace tamsel
