#include "ui/accessible.h"

#include <oleacc.h>

#include <new>
#include <string>

#include "support/guarded.h"
#include "support/handles.h"
#include "support/system_library.h"
#include "support/window_text.h"

namespace quendral::accessible {

namespace {

// oleacc and the string allocator, loaded from the system folder on a reader's first
// question, with COM started on the window's thread, which Windows' marshalling needs.
class Library {
public:
    static const Library* Get() noexcept {
        static const Library library;
        return library.createStandard != nullptr && library.fromObject != nullptr &&
                       library.allocString != nullptr
                   ? &library
                   : nullptr;
    }

    decltype(&CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&LresultFromObject) fromObject = nullptr;
    decltype(&SysAllocString) allocString = nullptr;

private:
    Library() noexcept
        : oleacc_(LoadSystemLibrary(L"oleacc.dll")),
          oleaut_(LoadSystemLibrary(L"oleaut32.dll")),
          ole_(LoadSystemLibrary(L"ole32.dll")) {
        if (!oleacc_ || !oleaut_ || !ole_) return;
        const auto startCom = reinterpret_cast<decltype(&CoInitializeEx)>(
            reinterpret_cast<void*>(GetProcAddress(ole_.get(), "CoInitializeEx")));
        stopCom_ = reinterpret_cast<decltype(stopCom_)>(
            reinterpret_cast<void*>(GetProcAddress(ole_.get(), "CoUninitialize")));
        // Already started on this thread in another mode, it is used as it is.
        if (startCom == nullptr || stopCom_ == nullptr ||
            FAILED(startCom(nullptr, COINIT_APARTMENTTHREADED))) {
            stopCom_ = nullptr;
        }
        createStandard = reinterpret_cast<decltype(createStandard)>(
            reinterpret_cast<void*>(GetProcAddress(oleacc_.get(), "CreateStdAccessibleObject")));
        fromObject = reinterpret_cast<decltype(fromObject)>(
            reinterpret_cast<void*>(GetProcAddress(oleacc_.get(), "LresultFromObject")));
        allocString = reinterpret_cast<decltype(allocString)>(
            reinterpret_cast<void*>(GetProcAddress(oleaut_.get(), "SysAllocString")));
    }

    ~Library() {
        if (stopCom_ != nullptr) stopCom_();
    }

    static void Free(HMODULE module) { FreeLibrary(module); }
    Unique<HMODULE, &Free> oleacc_;
    Unique<HMODULE, &Free> oleaut_;
    Unique<HMODULE, &Free> ole_;
    decltype(&CoUninitialize) stopCom_ = nullptr;
};

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The control's standard object, answering name, role, value and description itself.
class Wrapper final : public IAccessible, public IOleWindow {
public:
    Wrapper(IAccessible* standard, HWND control, const Description& spoken, const Library& library)
        : standard_(standard), control_(control), spoken_(spoken), library_(library) {}

    // IUnknown. The standard object's other interfaces are not offered: an object
    // answering for it under another identity would confuse a reader's bookkeeping.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
        } else if (id == __uuidof(IOleWindow)) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IOleWindow: lets a reader find the control from the object.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) return E_POINTER;
        *window = control_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch: the standard object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* wrong) override {
        return standard_->Invoke(member, id, locale, flags, parameters, result, exception, wrong);
    }

    // What the control says of itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return standard_->get_accName(child, name);
        return Guarded(
            [&] {
                std::u16string text = spoken_.name != nullptr
                                          ? reinterpret_cast<const char16_t*>(spoken_.name)
                                          : WindowText(control_);
                if (spoken_.captionIsValue) text += WindowText(control_);
                return Answer(WideCString(text), name);
            },
            [] { return E_OUTOFMEMORY; });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child)) return standard_->get_accRole(child, role);
        if (role == nullptr) return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = spoken_.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!IsSelf(child) || !spoken_.captionIsValue) return standard_->get_accValue(child, value);
        return Guarded([&] { return Answer(WideCString(WindowText(control_)), value); },
                       [] { return E_OUTOFMEMORY; });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (!IsSelf(child) || spoken_.description == nullptr) {
            return standard_->get_accDescription(child, description);
        }
        return Answer(spoken_.description, description);
    }

    // The rest: the standard object's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~Wrapper() { standard_->Release(); }

    HRESULT Answer(const wchar_t* text, BSTR* out) const {
        if (out == nullptr) return E_INVALIDARG;
        *out = library_.allocString(text);
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    LONG references_ = 1;
    IAccessible* standard_;  // owned: one reference, let go with the wrapper
    HWND control_;
    const Description& spoken_;
    const Library& library_;
};

// The answer to WM_GETOBJECT for the client area, or 0 to leave it to the control.
LRESULT AnswerReader(HWND control, WPARAM flags, const Description& spoken) noexcept {
    const Library* library = Library::Get();
    if (library == nullptr) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(library->createStandard(control, OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&standard))) ||
        standard == nullptr) {
        return 0;
    }
    auto* wrapper = new (std::nothrow) Wrapper(standard, control, spoken, *library);
    if (wrapper == nullptr) {
        standard->Release();
        return 0;
    }
    // The reference handed over holds the wrapper; ours goes now.
    const LRESULT answer =
        library->fromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(wrapper));
    wrapper->Release();
    return answer > 0 ? answer : 0;
}

// Kept here, not in SetWindowSubclass's window property (a word to the window server per
// message) nor GWLP_USERDATA (which other programs can set under Wine).
struct Subclassed {
    HWND control;
    WNDPROC original;  // the control's procedure before ours
    const Description* spoken;
};
// The window has ten controls; a control past the room is left undescribed.
Subclassed described[16]{};

Subclassed* DescribedOf(HWND control) {
    for (Subclassed& entry : described) {
        if (entry.control == control) return &entry;
    }
    return nullptr;
}

LRESULT CALLBACK Subclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Subclassed* subclassed = DescribedOf(control);
    if (subclassed == nullptr) return DefWindowProcW(control, message, wParam, lParam);
    const WNDPROC original = subclassed->original;
    const Description& spoken = *subclassed->spoken;
    switch (message) {
        case WM_GETOBJECT:
            // Compared as a DWORD: on 64-bit Windows lParam may come sign-extended or not.
            if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
                if (const LRESULT answer = AnswerReader(control, wParam, spoken)) return answer;
            }
            break;
        case WM_SETTEXT:
            if (spoken.captionIsValue) {
                // Readers hear of a change of the number, not of every setting of it.
                // A text that can't be read counts as changed.
                const std::u16string before =
                    Guarded([&] { return WindowText(control); }, [] { return std::u16string(); });
                const LRESULT result = CallWindowProcW(original, control, message, wParam, lParam);
                if (Guarded([&] { return WindowText(control) != before; }, [] { return true; })) {
                    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
                    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
                }
                return result;
            }
            break;
        case WM_NCCREATE:
        case WM_CREATE:
            // The control was made before it was described: these come from another program
            // and would make a list or a box anew, empty.
            return message == WM_NCCREATE ? TRUE : 0;
        case WM_DESTROY:
            if (IsWindowVisible(control)) return 0;
            break;
        case WM_NCDESTROY:
            // Real only from DestroyWindow, which hides the window first; one sent or posted
            // from outside while the window stands is ignored.
            if (IsWindowVisible(control)) return 0;
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            *subclassed = {};
            break;
    }
    return CallWindowProcW(original, control, message, wParam, lParam);
}

}  // namespace

bool Describe(HWND control, const Description& spoken) {
    Subclassed* entry = DescribedOf(nullptr);
    if (entry == nullptr) return false;
    *entry = {control, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC)),
              &spoken};
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass));
    return true;
}

}  // namespace quendral::accessible
