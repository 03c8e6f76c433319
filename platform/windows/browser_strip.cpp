#include "platform/windows/browser_strip.h"

#include "platform/windows/window_owner.h"
#include "platform/windows/windows_clock.h"
#include "ui/face.h"
#include "ui/face_drawing.h"
#include "ui/layout.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtmhst.h>
#include <ole2.h>
#include <shobjidl.h>

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <utility>

namespace quelvex {
namespace {

constexpr wchar_t kClassName[] = L"QuelvexBrowserStrip";
constexpr UINT_PTR kLoadTimer = 1;
constexpr UINT kLoadLimitMs = 20000;
// A failure found before the control could start (no control, a refused address) is reported from
// the message loop, like every other reply of the control.
constexpr UINT kLoadFailedMessage = WM_APP + 40;
// A page flooding new-window links must not flood the desktop with browser windows.
constexpr ULONGLONG kOpenEveryMs = 2000;

// What the control may load and run: pictures, but no scripts, applets, ActiveX controls,
// behaviours, refresh redirects or dialogs.
constexpr LONG kDownloadControl = DLCTL_DLIMAGES | DLCTL_NO_SCRIPTS | DLCTL_NO_JAVA |
                                  DLCTL_NO_RUNACTIVEXCTLS | DLCTL_NO_DLACTIVEXCTLS | DLCTL_NO_BEHAVIORS |
                                  DLCTL_NO_CLIENTPULL | DLCTL_SILENT;

bool hasScheme(const std::wstring& url, const wchar_t* scheme) {
    const std::size_t n = wcslen(scheme);
    if (url.size() <= n + 3 || url.compare(n, 3, L"://") != 0) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::towlower(url[i]) != scheme[i]) return false;
    return true;
}

// Pages the strip shows.
bool loadable(const std::wstring& url) {
    return hasScheme(url, L"https");
}

// Addresses a new-window link may hand to the browser.
bool browsable(const std::wstring& url) {
    return hasScheme(url, L"https") || hasScheme(url, L"http");
}

// The event's arguments come last to first; by reference ones are followed to their value.
VARIANT* argument(DISPPARAMS* params, UINT fromFirst, UINT count) {
    if (!params || params->cArgs != count || fromFirst >= count) return nullptr;
    VARIANT* v = &params->rgvarg[count - 1 - fromFirst];
    while (v && V_VT(v) == (VT_BYREF | VT_VARIANT))
        v = V_VARIANTREF(v);
    return v;
}

std::wstring textOf(VARIANT* v) {
    if (!v) return {};
    const BSTR text = V_VT(v) == VT_BSTR                ? V_BSTR(v)
                      : V_VT(v) == (VT_BYREF | VT_BSTR) ? *V_BSTRREF(v)
                                                        : nullptr;
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

IUnknown* objectOf(VARIANT* v) {
    if (!v) return nullptr;
    if (V_VT(v) == VT_DISPATCH) return V_DISPATCH(v);
    if (V_VT(v) == VT_UNKNOWN) return V_UNKNOWN(v);
    return nullptr;
}

unsigned long numberOf(VARIANT* v) {
    if (!v) return 0;
    switch (V_VT(v)) {
    case VT_I4: return static_cast<unsigned long>(V_I4(v));
    case VT_UI4: return V_UI4(v);
    case VT_INT: return static_cast<unsigned long>(V_INT(v));
    case VT_UINT: return V_UINT(v);
    default: return 0;
    }
}

void cancel(VARIANT* v) {
    if (v && V_VT(v) == (VT_BYREF | VT_BOOL)) *V_BOOLREF(v) = VARIANT_TRUE;
}

bool isTrue(VARIANT* v) {
    if (!v) return false;
    if (V_VT(v) == VT_BOOL) return V_BOOL(v) != VARIANT_FALSE;
    if (V_VT(v) == (VT_BYREF | VT_BOOL)) return *V_BOOLREF(v) != VARIANT_FALSE;
    return false;
}

// Whether two interface pointers belong to the same object.
bool sameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return false;
    IUnknown* ia = nullptr;
    IUnknown* ib = nullptr;
    const bool same = SUCCEEDED(a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ia))) &&
                      SUCCEEDED(b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ib))) && ia == ib;
    if (ia) ia->Release();
    if (ib) ib->Release();
    return same;
}

} // namespace

// The in-place site the control lives in, and the sink of its events. The control keeps references
// to it of its own, so it outlives the strip; forget() cuts it loose.
class BrowserStrip::Host final : public IOleClientSite,
                                 public IOleInPlaceSite,
                                 public IOleInPlaceFrame,
                                 public IDocHostUIHandler,
                                 public IDispatch {
  public:
    explicit Host(BrowserStrip& owner) : owner_(&owner) {}
    void forget() { owner_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (IsEqualIID(iid, IID_IDocHostUIHandler))
            *out = static_cast<IDocHostUIHandler*>(this);
        else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2))
            *out = static_cast<IDispatch*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = owner_ ? owner_->container_ : nullptr;
        return *out ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return owner_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !position || !clip || !info || !owner_) return E_INVALIDARG;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        GetClientRect(owner_->container_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = owner_->container_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, toolbars or status line to share.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler: no context menu, no 3D border, no help menu, nothing of the host for scripts.
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
        if (!info || info->cbSize < sizeof(DOCHOSTUIINFO)) return E_INVALIDARG;
        info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DISABLE_HELP_MENU;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }

    // IDispatch: the site's ambient properties, and the control's events.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

  private:
    ULONG refs_ = 1;
    BrowserStrip* owner_;
};

HRESULT STDMETHODCALLTYPE BrowserStrip::Host::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                                     VARIANT* result, EXCEPINFO*, UINT*) {
    if (id == DISPID_AMBIENT_DLCONTROL) {
        if (!result) return E_POINTER;
        VariantInit(result);
        V_VT(result) = VT_I4;
        V_I4(result) = kDownloadControl;
        return S_OK;
    }
    BrowserStrip* const owner = owner_;
    if (!owner) return S_OK;
    bool refused = false;
    switch (id) {
    case DISPID_BEFORENAVIGATE2:
        owner->beforeNavigate(objectOf(argument(params, 0, 7)), textOf(argument(params, 1, 7)), refused);
        if (refused) cancel(argument(params, 6, 7));
        return S_OK;
    case DISPID_NAVIGATECOMPLETE2: owner->navigateComplete(objectOf(argument(params, 0, 2))); return S_OK;
    case DISPID_DOCUMENTCOMPLETE: owner->documentComplete(objectOf(argument(params, 0, 2))); return S_OK;
    case DISPID_NAVIGATEERROR:
        owner->navigateError(objectOf(argument(params, 0, 5)), refused);
        if (refused) cancel(argument(params, 4, 5));
        return S_OK;
    case DISPID_TITLECHANGE: owner->titleChanged(); return S_OK;
    case DISPID_NEWWINDOW3:
        owner->newWindow(numberOf(argument(params, 2, 5)), textOf(argument(params, 4, 5)), refused);
        cancel(argument(params, 1, 5));
        return S_OK;
    case DISPID_NEWWINDOW2:
        // Only before NewWindow3 existed; without the address there is nothing to hand on.
        cancel(argument(params, 1, 2));
        return S_OK;
    case DISPID_FILEDOWNLOAD:
        // Pages show; files are never saved.
        if (!isTrue(argument(params, 0, 2))) cancel(argument(params, 1, 2));
        return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

BrowserStrip::BrowserStrip(HINSTANCE instance, Shell& shell) : instance_(instance), shell_(shell) {
    oleReady_ = SUCCEEDED(OleInitialize(nullptr));
}

BrowserStrip::~BrowserStrip() {
    if (container_) DestroyWindow(container_); // which lets the control go
    destroyControl();
    if (host_) {
        host_->forget();
        host_->Release();
    }
    if (oleReady_) OleUninitialize();
}

void BrowserStrip::attach(HWND mainWindow, FaceEvents& events, const Face& face) {
    parent_ = mainWindow;
    events_ = &events;
    face_ = &face;
}

bool BrowserStrip::ready() {
    if (browser_) return true;
    if (tried_ || !parent_) return false;
    tried_ = true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    container_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 1, 1,
                                 parent_, nullptr, instance_, this);
    if (!container_) return false;
    // The main window paints under its children, not over them.
    SetWindowLongPtrW(parent_, GWL_STYLE, GetWindowLongPtrW(parent_, GWL_STYLE) | WS_CLIPCHILDREN);
    place(true);
    if (createControl()) return true;
    destroyControl();
    return false;
}

bool BrowserStrip::createControl() {
    if (!oleReady_) return false;
    if (!host_) host_ = new Host(*this);
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object_))))
        return false;
    // The site first: the control asks it for what it may download before anything loads.
    if (FAILED(object_->SetClientSite(static_cast<IOleClientSite*>(host_)))) return false;
    OleSetContainedObject(object_, TRUE);
    RECT area;
    GetClientRect(container_, &area);
    if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(host_), -1,
                               container_, &area)))
        return false;
    if (FAILED(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_)))) return false;
    browser_->put_Silent(VARIANT_TRUE);
    browser_->put_RegisterAsDropTarget(VARIANT_FALSE);
    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(
            browser_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events2_)) &&
            FAILED(events2_->Advise(static_cast<IDispatch*>(host_), &cookie_))) {
            events2_->Release();
            events2_ = nullptr;
        }
        points->Release();
    }
    // Without its events the strip could never tell that a page has arrived.
    return events2_ != nullptr;
}

void BrowserStrip::destroyControl() {
    if (container_) KillTimer(container_, kLoadTimer);
    if (events2_) {
        events2_->Unadvise(cookie_);
        events2_->Release();
        events2_ = nullptr;
    }
    if (browser_) {
        browser_->Stop();
        browser_->Release();
        browser_ = nullptr;
    }
    if (object_) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
}

void BrowserStrip::navigate(const std::string& url) {
    const std::wstring wide = widen(url);
    if (!loadable(wide) || !ready()) {
        // The model hears of it as of any failed load: the link bar stays.
        if (!container_ || !PostMessageW(container_, kLoadFailedMessage, 0, 0)) loadEnded(false);
        return;
    }
    VARIANT address, none;
    VariantInit(&none);
    VariantInit(&address);
    V_VT(&address) = VT_BSTR;
    V_BSTR(&address) = SysAllocString(wide.c_str());
    const HRESULT hr = browser_->Navigate2(&address, &none, &none, &none, &none);
    VariantClear(&address);
    if (FAILED(hr)) {
        PostMessageW(container_, kLoadFailedMessage, 0, 0);
        return;
    }
    watchLoad();
}

std::string BrowserStrip::location() {
    if (!browser_) return {};
    BSTR url = nullptr;
    std::string result;
    if (SUCCEEDED(browser_->get_LocationURL(&url)) && url)
        result = narrow(std::wstring(url, SysStringLen(url)));
    SysFreeString(url);
    return result;
}

void BrowserStrip::applyChanges(const FaceChanges& changes) {
    if (changes.panels.any() || changes.window) place();
}

void BrowserStrip::place(bool force) {
    if (!container_ || !face_) return;
    const double scale = GetDpiForWindow(parent_) / 96.0;
    const auto device = [scale](const PanelState& p) {
        return onDeviceGrid(p.left * scale, p.top * scale, (p.left + p.width) * scale,
                            (p.top + p.height) * scale);
    };
    const PanelState& strip = face_->panel(Panel::CppWebBrowser1);
    const Rect box = device(strip);
    // The panels after the strip in the layout lie in front of it. A child window cannot lie under
    // its parent's painting, so while one of them overlaps it the control stays hidden, as the
    // Linux build keeps its page view hidden under the link bar.
    bool covered = false, inFront = false;
    for (const LayoutEntry& e : layoutTable()) {
        if (e.control.kind != Kind::Panel) continue;
        const Panel panel = e.control.panel();
        if (panel == Panel::CppWebBrowser1)
            inFront = true;
        else if (inFront && face_->panel(panel).visible && device(face_->panel(panel)).intersects(box))
            covered = true;
    }
    const bool visible = strip.visible && browser_ && !box.empty() && !covered;
    const RECT at{box.left, box.top, box.right(), box.bottom()};
    if (!force && placed_.valid && EqualRect(&at, &placed_.box) && placed_.visible == visible) return;
    placed_ = {at, visible, true};
    SetWindowPos(container_, HWND_TOP, box.left, box.top, std::max(box.width, 1), std::max(box.height, 1),
                 SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void BrowserStrip::resizeControl() {
    if (!object_) return;
    IOleInPlaceObject* inPlace = nullptr;
    if (FAILED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) return;
    RECT area;
    GetClientRect(container_, &area);
    inPlace->SetObjectRects(&area, &area);
    inPlace->Release();
}

void BrowserStrip::watchLoad() {
    if (container_) SetTimer(container_, kLoadTimer, kLoadLimitMs, nullptr);
}

void BrowserStrip::loadEnded(bool ok) {
    if (container_) KillTimer(container_, kLoadTimer);
    if (events_) events_->webLoadFinished(ok);
}

bool BrowserStrip::isTop(IUnknown* frame) const {
    return sameObject(frame, browser_);
}

void BrowserStrip::beforeNavigate(IUnknown* frame, const std::wstring& url, bool& refuse) {
    if (!loadable(url)) {
        refuse = true;
        return;
    }
    if (!isTop(frame)) return;
    // A link followed in the page is a load like the update page, and watched alike.
    arrived_ = false;
    watchLoad();
}

void BrowserStrip::navigateComplete(IUnknown* frame) {
    if (isTop(frame)) arrived_ = true;
}

void BrowserStrip::documentComplete(IUnknown* frame) {
    if (isTop(frame)) loadEnded(true);
}

void BrowserStrip::navigateError(IUnknown* frame, bool& refuse) {
    // No error page of the control's own: the link bar says enough.
    refuse = true;
    if (isTop(frame)) loadEnded(false);
}

void BrowserStrip::titleChanged() {
    // The control also names a document by its address while it is still on its way; only a title
    // of the document now shown may choose the view.
    if (arrived_ && events_) events_->webTitleChanged();
}

void BrowserStrip::newWindow(unsigned long flags, const std::wstring& url, bool&) {
    // Only a link the user followed, never a page's own doing.
    if (!(flags & NWMF_USERINITED) || !browsable(url)) return;
    const ULONGLONG now = GetTickCount64();
    if (openedOnce_ && now - openedAt_ < kOpenEveryMs) return;
    openedOnce_ = true;
    openedAt_ = now;
    shell_.openUrl(narrow(url));
}

LRESULT CALLBACK BrowserStrip::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowOwner<BrowserStrip>(hwnd, message, lParam);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_SIZE: self->resizeControl(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
        if (wParam != kLoadTimer) break;
        // Nothing of the page after all this time: give up on it.
        if (self->browser_) self->browser_->Stop();
        self->loadEnded(false);
        return 0;
    case kLoadFailedMessage: self->loadEnded(false); return 0;
    case WM_DPICHANGED_AFTERPARENT: self->place(true); return 0;
    case WM_DESTROY:
        // With the main window: the control goes before the window it lives in.
        self->destroyControl();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->container_ = nullptr;
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace quelvex
