#include "ui/accessible_name.h"

#include <oleacc.h>

#include <new>

#include "ui/subclass.h"

namespace {

const wchar_t kSlot[] = L"filecut.accessible";
const wchar_t kName[] = L"filecut.accessible.name";

// The control's standard accessible object with a name of its own: COM calls it through its
// table of methods, so it is a class. Everything but the name is the standard object's answer,
// its other interfaces too (IEnumVARIANT, IOleWindow, ...).
class NamedAccessible final : public IAccessible {
 public:
  NamedAccessible(IAccessible* standard, const wchar_t* name) : standard_(standard), name_(name) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!IsEqualIID(iid, __uuidof(IUnknown)) && !IsEqualIID(iid, __uuidof(IDispatch)) &&
        !IsEqualIID(iid, __uuidof(IAccessible))) {
      return standard_->QueryInterface(iid, object);
    }
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      standard_->Release();
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return standard_->get_accName(child, name);
    *name = SysAllocString(name_);
    return *name ? S_OK : E_OUTOFMEMORY;
  }

  // The other methods pass the call on: PASS_ON(method, its parameters, the arguments).
  // clang-format off
#define PASS_ON(Method, Parameters, Arguments) \
  HRESULT STDMETHODCALLTYPE Method Parameters override { return standard_->Method Arguments; }
  PASS_ON(GetTypeInfoCount, (UINT* n), (n))
  PASS_ON(GetTypeInfo, (UINT i, LCID l, ITypeInfo** t), (i, l, t))
  PASS_ON(GetIDsOfNames, (REFIID r, LPOLESTR* s, UINT n, LCID l, DISPID* d), (r, s, n, l, d))
  PASS_ON(Invoke, (DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                   UINT* u), (d, r, l, f, p, v, e, u))
  PASS_ON(get_accParent, (IDispatch** p), (p))
  PASS_ON(get_accChildCount, (LONG* n), (n))
  PASS_ON(get_accChild, (VARIANT c, IDispatch** p), (c, p))
  PASS_ON(get_accValue, (VARIANT c, BSTR* s), (c, s))
  PASS_ON(get_accDescription, (VARIANT c, BSTR* s), (c, s))
  PASS_ON(get_accRole, (VARIANT c, VARIANT* v), (c, v))
  PASS_ON(get_accState, (VARIANT c, VARIANT* v), (c, v))
  PASS_ON(get_accHelp, (VARIANT c, BSTR* s), (c, s))
  PASS_ON(get_accHelpTopic, (BSTR* s, VARIANT c, LONG* n), (s, c, n))
  PASS_ON(get_accKeyboardShortcut, (VARIANT c, BSTR* s), (c, s))
  PASS_ON(get_accFocus, (VARIANT* v), (v))
  PASS_ON(get_accSelection, (VARIANT* v), (v))
  PASS_ON(get_accDefaultAction, (VARIANT c, BSTR* s), (c, s))
  PASS_ON(accSelect, (LONG f, VARIANT c), (f, c))
  PASS_ON(accLocation, (LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c), (x, y, w, h, c))
  PASS_ON(accNavigate, (LONG d, VARIANT c, VARIANT* v), (d, c, v))
  PASS_ON(accHitTest, (LONG x, LONG y, VARIANT* v), (x, y, v))
  PASS_ON(accDoDefaultAction, (VARIANT c), (c))
  PASS_ON(put_accName, (VARIANT c, BSTR s), (c, s))
  PASS_ON(put_accValue, (VARIANT c, BSTR s), (c, s))
#undef PASS_ON
  // clang-format on

 private:
  LONG references_ = 1;
  IAccessible* standard_;
  const wchar_t* name_;
};

// The control's own procedure, but for WM_GETOBJECT asking for its client object: the standard
// object, under the control's name.
LRESULT CALLBACK NamedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
    void* standard = nullptr;
    if (SUCCEEDED(
            CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible), &standard))) {
      const auto* name = static_cast<const wchar_t*>(GetPropW(control, kName));
      auto* named = new (std::nothrow) NamedAccessible(static_cast<IAccessible*>(standard), name);
      if (!named) {
        static_cast<IAccessible*>(standard)->Release();
        return 0;
      }
      const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, named);
      named->Release();
      return result;
    }
  }
  if (message == WM_NCDESTROY) RemovePropW(control, kName);
  return CallProcedureBelow(control, kSlot, message, wParam, lParam);
}

}  // namespace

void NameForScreenReaders(HWND control, const wchar_t* name) {
  SetPropW(control, kName, const_cast<wchar_t*>(name));
  SubclassControl(control, kSlot, NamedControlProc);
}
