#pragma once
// The MainWindow's OLE drop target: takes the shell's file list (CF_HDROP)
// and nothing else, and hands each drop's DropList to a callback.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <functional>
#include <vector>

#include "app/drop.h"
#include "backup/text.h"

namespace tamsel {

class DropTarget final : public IDropTarget {
 public:
  using DropHandler = std::function<void(const Text& drop_list)>;

  // Starts with one reference, owned by the caller.
  explicit DropTarget(DropHandler on_drop);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

 private:
  ~DropTarget() = default;
  DWORD chosen_effect(DWORD keys, DWORD allowed) const;

  LONG references_ = 1;
  bool acceptable_ = false;
  DropHandler on_drop_;
};

// The drop component 拖放对象1: one drop target for at most one window.
class DropComponent {
 public:
  explicit DropComponent(DropTarget::DropHandler on_drop);
  ~DropComponent();
  DropComponent(const DropComponent&) = delete;
  DropComponent& operator=(const DropComponent&) = delete;

  IDropTarget* target() const { return target_; }
  HWND window() const { return window_; }
  // Takes the registration back; call while the window still exists.
  void revoke();

 private:
  friend bool register_drop_target(DropComponent& component, HWND window);
  DropTarget* target_;
  HWND window_ = nullptr;
  bool registered_ = false;
};

// Registers the component's drop target on window; false when the component
// already has a window or RegisterDragDrop fails.
bool register_drop_target(DropComponent& component, HWND window);

// The file list of an HDROP, in the list's order, through DragQueryFileA.
std::vector<Text> read_file_list(HDROP list);

}  // namespace tamsel
