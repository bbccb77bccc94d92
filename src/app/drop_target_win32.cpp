#include "app/drop_target_win32.h"

#include <shellapi.h>

#include <utility>
#include <vector>

namespace tamsel {

namespace {
FORMATETC file_list_format() {
  FORMATETC format = {};
  format.cfFormat = CF_HDROP;
  format.ptd = nullptr;
  format.dwAspect = DVASPECT_CONTENT;
  format.lindex = -1;
  format.tymed = TYMED_HGLOBAL;
  return format;
}

DWORD to_dword(DropEffect effect) {
  switch (effect) {
    case DropEffect::Copy: return DROPEFFECT_COPY;
    case DropEffect::Move: return DROPEFFECT_MOVE;
    case DropEffect::Link: return DROPEFFECT_LINK;
    case DropEffect::None: break;
  }
  return DROPEFFECT_NONE;
}

// Releases a fetched medium on every path out of the drop.
class Medium {
 public:
  Medium() : medium_{} {}
  ~Medium() {
    if (held_) ReleaseStgMedium(&medium_);
  }
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;
  STGMEDIUM* receive() { return &medium_; }
  void hold() { held_ = true; }
  void release() {
    if (held_) ReleaseStgMedium(&medium_);
    held_ = false;
  }
  HGLOBAL global() const { return medium_.hGlobal; }

 private:
  STGMEDIUM medium_;
  bool held_ = false;
};
}  // namespace

std::vector<Text> read_file_list(HDROP list) {
  std::vector<Text> paths;
  UINT count = DragQueryFileA(list, 0xFFFFFFFF, nullptr, 0);
  paths.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileA(list, i, nullptr, 0);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    UINT copied = DragQueryFileA(list, i, buffer.data(), length + 1);
    paths.emplace_back(buffer.data(), copied < length ? copied : length);
  }
  return paths;
}

DropTarget::DropTarget(DropHandler on_drop) : on_drop_(std::move(on_drop)) {}

HRESULT STDMETHODCALLTYPE DropTarget::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *out = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE DropTarget::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

DWORD DropTarget::chosen_effect(DWORD keys, DWORD allowed) const {
  DragKeys held;
  held.ctrl = (keys & MK_CONTROL) != 0;
  held.shift = (keys & MK_SHIFT) != 0;
  AllowedEffects offered;
  offered.copy = (allowed & DROPEFFECT_COPY) != 0;
  offered.move = (allowed & DROPEFFECT_MOVE) != 0;
  offered.link = (allowed & DROPEFFECT_LINK) != 0;
  return to_dword(choose_drop_effect(acceptable_, held, offered));
}

HRESULT STDMETHODCALLTYPE DropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL, DWORD* effect) {
  FORMATETC format = file_list_format();
  acceptable_ = data && data->QueryGetData(&format) == S_OK;
  if (effect) *effect = chosen_effect(keys, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragOver(DWORD keys, POINTL, DWORD* effect) {
  if (effect) *effect = chosen_effect(keys, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragLeave() {
  acceptable_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::Drop(IDataObject* data, DWORD keys, POINTL, DWORD* effect) {
  DWORD allowed = effect ? *effect : DROPEFFECT_NONE;
  DWORD chosen = chosen_effect(keys, allowed);
  acceptable_ = false;
  if (effect) *effect = chosen;
  if (chosen == DROPEFFECT_NONE || !data) return E_FAIL;

  FORMATETC format = file_list_format();
  Medium medium;
  if (data->GetData(&format, medium.receive()) != S_OK) return E_FAIL;
  medium.hold();
  if (medium.receive()->tymed != TYMED_HGLOBAL || !medium.global()) return E_FAIL;
  std::vector<Text> paths = read_file_list(static_cast<HDROP>(medium.global()));
  medium.release();

  Text drop_list = build_drop_list(paths);
  if (on_drop_) on_drop_(drop_list);
  return E_FAIL;
}

DropComponent::DropComponent(DropTarget::DropHandler on_drop)
    : target_(new DropTarget(std::move(on_drop))) {}

DropComponent::~DropComponent() {
  revoke();
  target_->Release();
}

void DropComponent::revoke() {
  if (registered_ && IsWindow(window_)) RevokeDragDrop(window_);
  registered_ = false;
}

bool register_drop_target(DropComponent& component, HWND window) {
  if (component.window_) return false;
  component.window_ = window;
  component.registered_ = RegisterDragDrop(window, component.target_) == S_OK;
  return component.registered_;
}

}  // namespace tamsel
