#include "win32/dialog_accessible.h"
// after windows.h, which it needs
#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <string_view>

#include "settings_dialog/geometry.h"
#include "win32/win32_platform.h"

namespace vorn::win32 {
namespace {

// A default action asked for, run when the window next takes its messages
// (wParam: the DialogControl): not inside the screen reader's call, whose
// answer must not wait for the dialog to save and close.
constexpr UINT kDefaultActionMessage = WM_APP + 1;

static_assert(static_cast<LONG>(AccessibleRole::ScrollBar) == ROLE_SYSTEM_SCROLLBAR &&
              static_cast<LONG>(AccessibleRole::Client) == ROLE_SYSTEM_CLIENT &&
              static_cast<LONG>(AccessibleRole::Link) == ROLE_SYSTEM_LINK &&
              static_cast<LONG>(AccessibleRole::PushButton) == ROLE_SYSTEM_PUSHBUTTON &&
              static_cast<LONG>(AccessibleRole::Animation) == ROLE_SYSTEM_ANIMATION);
static_assert(kStateFocused == STATE_SYSTEM_FOCUSED && kStatePressed == STATE_SYSTEM_PRESSED &&
              kStateAnimated == STATE_SYSTEM_ANIMATED &&
              kStateFocusable == STATE_SYSTEM_FOCUSABLE && kStateLinked == STATE_SYSTEM_LINKED);

void SetChild(VARIANT* out, LONG child) {
  out->vt = VT_I4;
  out->lVal = child;
}

// A text for the caller, who frees it; none for an empty one.
HRESULT GiveText(std::string_view text, BSTR* out) {
  if (text.empty()) return DISP_E_MEMBERNOTFOUND;
  const std::wstring wide = Widen(text);
  const auto allocate = late::SysAllocStringLen();
  *out = allocate != nullptr ? allocate(wide.data(), static_cast<UINT>(wide.size())) : nullptr;
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

// The client area with the controls as its children (child ids 1 to n, in
// the tree's order), or (bar_ != 0) a scroll bar's window with the bar itself.
class AccessibleObject final : public IAccessible {
 public:
  AccessibleObject(DialogAccessibility& owner, std::int16_t bar) : owner_(&owner), bar_(bar) {}
  void Disconnect() { owner_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    const bool ours =
        iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible);
    *out = ours ? static_cast<IAccessible*>(this) : nullptr;
    if (ours) AddRef();
    return ours ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // No type information: clients call the methods themselves.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count != nullptr) *count = 0;
    return count != nullptr ? S_OK : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (parent == nullptr) return E_INVALIDARG;
    *parent = nullptr;
    const auto standard = late::CreateStdAccessibleObject();
    if (owner_ == nullptr || standard == nullptr) return S_FALSE;
    return standard(owner_->Window(bar_), OBJID_WINDOW, __uuidof(IDispatch),
                    reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (count == nullptr) return E_INVALIDARG;
    *count = owner_ != nullptr && bar_ == 0 ? static_cast<LONG>(owner_->Tree().size()) : 0;
    return S_OK;
  }
  // The children are simple elements, served by this object.
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (object == nullptr) return E_INVALIDARG;
    *object = nullptr;
    AccessibleElement element;
    const HRESULT found = Element(child, element);
    return SUCCEEDED(found) ? S_FALSE : found;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Text(child, name, Field::Name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Text(child, value, Field::Value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override {
    return Unsupported(text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return Number(child, role, Field::Role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return Number(child, state, Field::State);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return Unsupported(text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (topic != nullptr) *topic = 0;
    return Unsupported(file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return Text(child, keys, Field::Keys);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Text(child, action, Field::Action);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection != nullptr) selection->vt = VT_EMPTY;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* found) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

 private:
  ~AccessibleObject() = default;  // by the last Release

  enum class Field { Name, Value, Action, Keys, Role, State };

  // What this object stands for itself: the client area or its bar.
  AccessibleElement Self(const AccessibleTree& tree) const {
    if (bar_ == 0) return owner_->Client();
    const DialogControl bar = kScrollControls[BarSlot(bar_)];
    return *std::ranges::find(tree, bar, &AccessibleElement::control);  // every bar is there
  }
  // The child id of the element in `slot` of the tree.
  LONG ChildId(std::size_t slot) const {
    return bar_ == 0 ? static_cast<LONG>(slot + 1) : CHILDID_SELF;
  }
  HRESULT Element(const VARIANT& child, AccessibleElement& element) const;
  HRESULT Text(const VARIANT& child, BSTR* out, Field field) const;
  HRESULT Number(const VARIANT& child, VARIANT* out, Field field) const;
  static HRESULT Unsupported(BSTR* out) {
    if (out != nullptr) *out = nullptr;
    return DISP_E_MEMBERNOTFOUND;
  }

  std::atomic<ULONG> references_{1};  // the owner's
  DialogAccessibility* owner_;        // null once the dialog is gone
  std::int16_t bar_;
};

// The element `child` names: the object itself, or one of the client area's
// children; E_INVALIDARG for none, CO_E_OBJNOTCONNECTED once the window is gone.
HRESULT AccessibleObject::Element(const VARIANT& child, AccessibleElement& element) const {
  if (owner_ == nullptr || owner_->Window(0) == nullptr) return CO_E_OBJNOTCONNECTED;
  if (child.vt != VT_I4) return E_INVALIDARG;
  const AccessibleTree tree = owner_->Tree();
  const LONG id = child.lVal;
  if (id == CHILDID_SELF) {
    element = Self(tree);
  } else if (bar_ == 0 && id >= 1 && static_cast<std::size_t>(id) <= tree.size()) {
    element = tree[static_cast<std::size_t>(id - 1)];
  } else {
    return E_INVALIDARG;
  }
  return S_OK;
}

HRESULT AccessibleObject::Text(const VARIANT& child, BSTR* out, Field field) const {
  if (out == nullptr) return E_INVALIDARG;
  *out = nullptr;
  AccessibleElement e;
  const HRESULT found = Element(child, e);
  if (FAILED(found)) return found;
  return GiveText(field == Field::Name     ? e.name
                  : field == Field::Value  ? std::string_view(e.value)
                  : field == Field::Action ? e.defaultAction
                                           : e.shortcut,
                  out);
}

HRESULT AccessibleObject::Number(const VARIANT& child, VARIANT* out, Field field) const {
  if (out == nullptr) return E_INVALIDARG;
  out->vt = VT_EMPTY;
  AccessibleElement e;
  const HRESULT found = Element(child, e);
  if (SUCCEEDED(found))
    SetChild(out, field == Field::Role ? static_cast<LONG>(e.role) : static_cast<LONG>(e.state));
  return found;
}

// The window with the keys: the object itself, or the client area's bar that has them.
HRESULT AccessibleObject::get_accFocus(VARIANT* focus) {
  if (focus == nullptr) return E_INVALIDARG;
  focus->vt = VT_EMPTY;
  if (owner_ == nullptr) return CO_E_OBJNOTCONNECTED;
  const AccessibleTree tree = owner_->Tree();
  const auto focused = std::ranges::find_if(
      tree, [](const AccessibleElement& e) { return (e.state & kStateFocused) != 0; });
  HWND window = GetFocus();
  if (window != nullptr && window == owner_->Window(bar_))
    SetChild(focus, CHILDID_SELF);
  else if (bar_ == 0 && focused != tree.end())
    SetChild(focus, ChildId(static_cast<std::size_t>(focused - tree.begin())));
  return focus->vt == VT_EMPTY ? S_FALSE : S_OK;
}

// A bar takes the keys; nothing else here can hold them.
HRESULT AccessibleObject::accSelect(LONG flags, VARIANT child) {
  AccessibleElement e;
  const HRESULT found = Element(child, e);
  if (FAILED(found)) return found;
  const std::int16_t bar = BarOf(e.control);
  if (bar == 0 || (flags & SELFLAG_TAKEFOCUS) == 0) return DISP_E_MEMBERNOTFOUND;
  SetFocus(owner_->Window(bar));
  return S_OK;
}

HRESULT AccessibleObject::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                      VARIANT child) {
  if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
    return E_INVALIDARG;
  AccessibleElement e;
  const HRESULT found = Element(child, e);
  *left = e.place.left, *top = e.place.top;
  *width = e.place.right - e.place.left, *height = e.place.bottom - e.place.top;
  return found;
}

// Among the client area's children in their order; a bar's window has none.
HRESULT AccessibleObject::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  if (end == nullptr) return E_INVALIDARG;
  end->vt = VT_EMPTY;
  if (owner_ == nullptr) return CO_E_OBJNOTCONNECTED;
  const auto count = static_cast<LONG>(owner_->Tree().size());
  if (bar_ != 0 || start.vt != VT_I4 || start.lVal < 0 || start.lVal > count) return E_INVALIDARG;
  const bool self = start.lVal == CHILDID_SELF;
  LONG next = 0;
  if (self && direction == NAVDIR_FIRSTCHILD) next = 1;
  if (self && direction == NAVDIR_LASTCHILD) next = count;
  if (!self && direction == NAVDIR_NEXT) next = start.lVal + 1;
  if (!self && direction == NAVDIR_PREVIOUS) next = start.lVal - 1;
  if (next < 1 || next > count) return S_FALSE;
  SetChild(end, next);
  return S_OK;
}

HRESULT AccessibleObject::accHitTest(LONG x, LONG y, VARIANT* found) {
  if (found == nullptr) return E_INVALIDARG;
  found->vt = VT_EMPTY;
  if (owner_ == nullptr || owner_->Window(0) == nullptr) return CO_E_OBJNOTCONNECTED;
  const AccessibleTree tree = owner_->Tree();
  const std::optional<std::size_t> at = ElementAt(tree, {x, y});
  if (bar_ == 0 && at)
    SetChild(found, ChildId(*at));
  else if (Contains(Self(tree).place, {x, y}))
    SetChild(found, CHILDID_SELF);
  return found->vt == VT_EMPTY ? S_FALSE : S_OK;
}

HRESULT AccessibleObject::accDoDefaultAction(VARIANT child) {
  AccessibleElement e;
  const HRESULT found = Element(child, e);
  if (FAILED(found)) return found;
  if (e.defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
  const bool posted = PostMessageW(owner_->Window(0), kDefaultActionMessage,
                                   static_cast<WPARAM>(e.control), 0) != FALSE;
  return posted ? S_OK : E_FAIL;
}

HRESULT AccessibleObject::put_accValue(VARIANT child, BSTR value) {
  AccessibleElement e;
  const HRESULT found = Element(child, e);
  if (FAILED(found)) return found;
  if (e.role != AccessibleRole::ScrollBar) return DISP_E_MEMBERNOTFOUND;
  const std::string text = Narrow(value != nullptr ? value : L"");
  return SetAccessibleValue(owner_->Model(), e.control, text) ? S_OK : E_INVALIDARG;
}

DialogAccessibility::~DialogAccessibility() {
  for (AccessibleObject* object : objects_) {
    if (object == nullptr) continue;
    object->Disconnect();
    object->Release();
  }
  const auto uninitialize = late::CoUninitialize();
  if (comOwed_ && uninitialize != nullptr) uninitialize();
}

std::optional<LRESULT> DialogAccessibility::OnMessage(std::int16_t bar, UINT message, WPARAM wParam,
                                                      LPARAM lParam) {
  if (message == kDefaultActionMessage && bar == 0) {
    model_.Activate(static_cast<DialogControl>(wParam));
    return 0;
  }
  // The object id is a DWORD in the message, whatever the width of lParam.
  if (message != WM_GETOBJECT || static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
    return std::nullopt;
  const auto answer = late::LresultFromObject();
  if (answer == nullptr || !StartCom()) return std::nullopt;
  AccessibleObject*& object = objects_[static_cast<std::size_t>(bar)];
  if (object == nullptr) object = new AccessibleObject(*this, bar);
  return answer(__uuidof(IAccessible), wParam, object);
}

AccessibleTree DialogAccessibility::Tree() const {
  POINT origin{0, 0};
  MapWindowPoints(window_, nullptr, &origin, 1);
  return DescribeDialog(model_, {origin.x, origin.y});
}

AccessibleElement DialogAccessibility::Client() const {
  RECT client{};
  GetClientRect(window_, &client);
  MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return {DialogControl::Image1,
          AccessibleRole::Client,
          kDialogCaption,
          "",
          "",
          "",
          {client.left, client.top, client.right, client.bottom},
          0};
}

// In a single-threaded apartment: the screen reader's calls arrive as the
// window's messages, between the dialog's own.
bool DialogAccessibility::StartCom() {
  if (!com_) {
    const auto initialize = late::CoInitializeEx();
    const HRESULT started =
        initialize != nullptr ? initialize(nullptr, COINIT_APARTMENTTHREADED) : E_NOTIMPL;
    comOwed_ = SUCCEEDED(started);
    com_ = comOwed_ || started == RPC_E_CHANGED_MODE;  // a thread already in COM serves as it is
  }
  return *com_;
}

}  // namespace vorn::win32
