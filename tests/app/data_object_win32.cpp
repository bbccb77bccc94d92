#include "data_object_win32.h"

#include <shlobj.h>

#include <cstring>
#include <utility>

namespace tamsel::testing {

namespace {
HGLOBAL make_file_list(const std::vector<Text>& paths) {
  SIZE_T bytes = sizeof(DROPFILES) + 1;
  for (const Text& path : paths) bytes += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes + 1);
  if (!memory) return nullptr;
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  char* out = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
  for (const Text& path : paths) {
    std::memcpy(out, path.data(), path.size());
    out += path.size() + 1;
  }
  GlobalUnlock(memory);
  return memory;
}
}  // namespace

DataObject::DataObject(Offer offer, std::vector<Text> paths) : offer_(offer), paths_(std::move(paths)) {}

HRESULT STDMETHODCALLTYPE DataObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *out = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DataObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE DataObject::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

bool DataObject::offers(const FORMATETC& format) const {
  CLIPFORMAT wanted = offer_ == Offer::TextOnly ? CF_TEXT : CF_HDROP;
  return format.cfFormat == wanted && format.dwAspect == DVASPECT_CONTENT &&
         format.lindex == -1 && (format.tymed & TYMED_HGLOBAL) != 0;
}

HRESULT STDMETHODCALLTYPE DataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  return offers(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE DataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  ++get_data_calls_;
  if (!format || !medium) return E_INVALIDARG;
  if (!offers(*format)) return DV_E_FORMATETC;
  if (offer_ == Offer::FileListThatFailsToFetch) return E_OUTOFMEMORY;
  HGLOBAL memory = nullptr;
  if (offer_ == Offer::TextOnly) {
    memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
  } else {
    memory = make_file_list(paths_);
  }
  if (!memory) return E_OUTOFMEMORY;
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

}  // namespace tamsel::testing
