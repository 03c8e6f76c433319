#include "platform/windows/window_accessible.h"

#include "platform/windows/windows_clock.h"

#include <windowsx.h>

#include <cwchar>
#include <utility>

namespace quelvex {
namespace {

// IAccessible's interface id. MinGW's oleacc import library links IID_IAccessible to the import
// thunk of the DLL's export, not to the GUID itself.
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

} // namespace

// The client area's IAccessible. Child id k (from 1) is the k-th item the keyboard focus
// describes; the list never changes, so an id stays the same control for the window's life.
class WindowAccessible final : public IAccessible {
  public:
    WindowAccessible(HWND hwnd, KeyboardFocus& keys, std::function<RECT(const Rect&)>& toScreen,
                     std::function<void()>& followFocus)
        : hwnd_(hwnd), keys_(&keys), toScreen_(toScreen), followFocus_(followFocus) {
        CreateStdAccessibleObject(hwnd, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&standard_));
    }
    void disconnect() {
        keys_ = nullptr;
        if (standard_) std::exchange(standard_, nullptr)->Release();
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            disconnect();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: clients use the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!standard_) return E_FAIL;
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!keys_) return E_FAIL;
        *count = static_cast<long>(keys_->accessibleItems().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        *out = nullptr;
        return item(child) ? S_FALSE : E_INVALIDARG; // simple elements, no objects of their own
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (isSelf(child)) return standard_ ? standard_->get_accName(child, name) : E_FAIL;
        const auto i = item(child);
        if (!i) return E_INVALIDARG;
        return text(i->name, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (isSelf(child)) return standard_ ? standard_->get_accValue(child, value) : E_FAIL;
        const auto i = item(child);
        if (!i) return E_INVALIDARG;
        return text(i->value, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return none(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (isSelf(child)) return standard_ ? standard_->get_accRole(child, role) : E_FAIL;
        const auto i = item(child);
        if (!i) return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = roleOf(i->role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (isSelf(child)) return standard_ ? standard_->get_accState(child, state) : E_FAIL;
        const auto i = item(child);
        if (!i) return E_INVALIDARG;
        long s = 0;
        if (!i->shown) s |= STATE_SYSTEM_INVISIBLE;
        if (i->role == Role::Status || i->role == Role::Text)
            s |= STATE_SYSTEM_READONLY;
        else if (i->shown)
            s |= STATE_SYSTEM_FOCUSABLE;
        if (i->focused) s |= STATE_SYSTEM_FOCUSED;
        if (i->checked && *i->checked) s |= STATE_SYSTEM_CHECKED;
        if (i->role == Role::Link) s |= STATE_SYSTEM_LINKED;
        state->vt = VT_I4;
        state->lVal = s;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return none(child, out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return none(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!keys_) return E_FAIL;
        focus->vt = VT_EMPTY;
        const auto items = keys_->accessibleItems();
        for (std::size_t k = 0; k < items.size(); ++k)
            if (items[k].focused) {
                focus->vt = VT_I4;
                focus->lVal = static_cast<long>(k + 1);
                return S_OK;
            }
        if (GetFocus() == hwnd_) {
            focus->vt = VT_I4;
            focus->lVal = CHILDID_SELF;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        selection->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        *action = nullptr;
        if (isSelf(child)) return S_FALSE;
        const auto i = item(child);
        if (!i) return E_INVALIDARG;
        if (i->role == Role::Field || i->role == Role::Status || i->role == Role::Text) return S_FALSE;
        return text(i->role == Role::Toggle ? "Toggle" : i->role == Role::Choice ? "Open" : "Press", action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        const auto i = item(child);
        if (!i) return E_INVALIDARG;
        if (!(flags & SELFLAG_TAKEFOCUS)) return S_FALSE;
        SetFocus(hwnd_);
        keys_->focus(i->control);
        followFocus_();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
        if (isSelf(child)) return standard_ ? standard_->accLocation(x, y, w, h, child) : E_FAIL;
        const auto i = item(child);
        if (!i) return E_INVALIDARG;
        const RECT r = toScreen_(i->rect);
        *x = r.left;
        *y = r.top;
        *w = r.right - r.left;
        *h = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!keys_) return E_FAIL;
        end->vt = VT_EMPTY;
        const long count = static_cast<long>(keys_->accessibleItems().size());
        long to = 0;
        if (isSelf(start)) {
            if (direction == NAVDIR_FIRSTCHILD)
                to = 1;
            else if (direction == NAVDIR_LASTCHILD)
                to = count;
            else
                return standard_ ? standard_->accNavigate(direction, start, end) : S_FALSE;
        } else {
            if (!item(start)) return E_INVALIDARG;
            if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT)
                to = start.lVal + 1;
            else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP || direction == NAVDIR_LEFT)
                to = start.lVal - 1;
        }
        if (to < 1 || to > count) return S_FALSE;
        end->vt = VT_I4;
        end->lVal = to;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (!keys_) return E_FAIL;
        hit->vt = VT_EMPTY;
        const auto items = keys_->accessibleItems();
        for (std::size_t k = 0; k < items.size(); ++k) {
            if (!items[k].shown) continue;
            const RECT r = toScreen_(items[k].rect);
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
                hit->vt = VT_I4;
                hit->lVal = static_cast<long>(k + 1);
                return S_OK;
            }
        }
        return standard_ ? standard_->accHitTest(x, y, hit) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const auto i = item(child);
        if (!i) return isSelf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
        if (!keys_->press(i->control)) return DISP_E_MEMBERNOTFOUND;
        followFocus_();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    // An entry field takes a number, as a reader's edit of its value.
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        const auto i = item(child);
        if (!i) return E_INVALIDARG;
        if (i->role != Role::Field || !value) return E_NOTIMPL;
        wchar_t* end = nullptr;
        const long wanted = std::wcstol(value, &end, 10);
        if (end == value || wanted < 0 || wanted > KeyboardFocus::largest(i->control)) return E_INVALIDARG;
        if (!keys_->setNumber(i->control, static_cast<int>(wanted))) return E_FAIL;
        followFocus_();
        return S_OK;
    }

  private:
    ~WindowAccessible() = default;

    static bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
    std::optional<AccessibleItem> item(const VARIANT& child) const {
        if (!keys_ || child.vt != VT_I4 || child.lVal < 1) return std::nullopt;
        auto items = keys_->accessibleItems();
        const auto k = static_cast<std::size_t>(child.lVal - 1);
        if (k >= items.size()) return std::nullopt;
        return std::move(items[k]);
    }
    static HRESULT text(const std::string& value, BSTR* out) {
        *out = nullptr;
        if (value.empty()) return S_FALSE;
        const std::wstring wide = widen(value);
        *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT none(const VARIANT& child, BSTR* out) const {
        *out = nullptr;
        return isSelf(child) || item(child) ? S_FALSE : E_INVALIDARG;
    }
    static long roleOf(Role role) {
        switch (role) {
        case Role::Button: return ROLE_SYSTEM_PUSHBUTTON;
        case Role::Toggle: return ROLE_SYSTEM_CHECKBUTTON;
        case Role::Radio: return ROLE_SYSTEM_RADIOBUTTON;
        case Role::Link: return ROLE_SYSTEM_LINK;
        case Role::Field: return ROLE_SYSTEM_SPINBUTTON;
        case Role::Status: return ROLE_SYSTEM_STATUSBAR;
        case Role::Text: return ROLE_SYSTEM_STATICTEXT;
        case Role::Choice: return ROLE_SYSTEM_COMBOBOX;
        }
        return ROLE_SYSTEM_CLIENT;
    }

    LONG refs_ = 1;
    HWND hwnd_;
    KeyboardFocus* keys_;
    std::function<RECT(const Rect&)>& toScreen_;
    std::function<void()>& followFocus_;
    IAccessible* standard_ = nullptr;
};

AccessibleClient::AccessibleClient(KeyboardFocus& keys, std::function<RECT(const Rect&)> toScreen,
                                   std::function<void()> followFocus)
    : keys_(keys), toScreen_(std::move(toScreen)), followFocus_(std::move(followFocus)) {}

AccessibleClient::~AccessibleClient() {
    disconnect();
}

void AccessibleClient::disconnect() {
    if (!object_) return;
    object_->disconnect();
    std::exchange(object_, nullptr)->Release();
}

LRESULT AccessibleClient::getObject(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT)) return 0;
    if (!object_) object_ = new WindowAccessible(hwnd, keys_, toScreen_, followFocus_);
    return LresultFromObject(kIAccessible, wParam, static_cast<IAccessible*>(object_));
}

void AccessibleClient::tell(HWND hwnd) {
    if (!object_) return; // nobody has asked yet
    auto now = keys_.accessibleItems();
    if (told_.size() == now.size()) {
        for (const AccessibleChange& c : accessibleChanges(told_, now)) {
            const LONG id = static_cast<LONG>(c.index + 1);
            if (c.name) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, id);
            if (c.value) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd, OBJID_CLIENT, id);
            if (c.state) NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd, OBJID_CLIENT, id);
        }
        for (std::size_t k = 0; k < now.size(); ++k)
            if (now[k].focused && !told_[k].focused)
                NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, static_cast<LONG>(k + 1));
    }
    told_ = std::move(now);
}

} // namespace quelvex
