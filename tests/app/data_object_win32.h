#pragma once
// An in-memory data object, as a drag source hands one to a drop target:
// either the shell's file list (CF_HDROP) of ANSI paths, or plain text.
#include <windows.h>
#include <ole2.h>

#include <vector>

#include "backup/text.h"

namespace tamsel::testing {

class DataObject final : public IDataObject {
 public:
  enum class Offer { FileList, TextOnly, FileListThatFailsToFetch };

  // Starts with one reference, owned by the caller.
  DataObject(Offer offer, std::vector<Text> paths);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  int get_data_calls() const { return get_data_calls_; }

 private:
  ~DataObject() = default;
  bool offers(const FORMATETC& format) const;

  LONG references_ = 1;
  Offer offer_;
  std::vector<Text> paths_;
  int get_data_calls_ = 0;
};

}  // namespace tamsel::testing
