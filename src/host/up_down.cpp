#include "host/up_down.h"

#include <commctrl.h>

#include <algorithm>

#include "host/prop_builder.h"

namespace vex::host {

const TClassInfo& TCustomUpDown::StaticClass() {
  static const TClassInfo info("TCustomUpDown", &TWinControl::StaticClass());
  return info;
}

const TClassInfo& TUpDown::StaticClass() {
  static TClassInfo info("TUpDown", &TCustomUpDown::StaticClass(), ComponentFactory<TUpDown>);
  static const bool once = [] {
    TPropBuilder<TUpDown> b(info);
    b.Enum("AlignButton", "TUDAlignButton", {"udLeft", "udRight"}, [](const TUpDown& x) { return x.AlignButton(); },
           [](TUpDown& x, std::int64_t v) { x.SetAlignButton(static_cast<TUDAlignButton>(v)); })
        .defaultValue = std::int64_t{udRight};
    b.Boolean("ArrowKeys", [](const TUpDown& x) { return x.ArrowKeys(); }, [](TUpDown& x, std::int64_t v) { x.SetArrowKeys(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Object("Associate", TPropKind::Object, TWinControl::StaticClass(), [](const TUpDown& x) { return x.Associate(); },
             [](TUpDown& x, TObject* o) { x.SetAssociate(o && o->Is<TWinControl>() ? static_cast<TWinControl*>(o) : nullptr); });
    b.Integer("Increment", [](const TUpDown& x) { return x.Increment(); },
              [](TUpDown& x, std::int64_t v) { x.SetIncrement(static_cast<int>(v)); })
        .defaultValue = std::int64_t{1};
    b.Integer("Max", [](const TUpDown& x) { return x.Max(); }, [](TUpDown& x, std::int64_t v) { x.SetMax(static_cast<int>(v)); })
        .defaultValue = std::int64_t{100};
    b.Integer("Min", [](const TUpDown& x) { return x.Min(); }, [](TUpDown& x, std::int64_t v) { x.SetMin(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Enum("Orientation", "TUDOrientation", {"udHorizontal", "udVertical"}, [](const TUpDown& x) { return x.Orientation(); },
           [](TUpDown& x, std::int64_t v) { x.SetOrientation(static_cast<TUDOrientation>(v)); })
        .defaultValue = std::int64_t{udVertical};
    b.Integer("Position", [](const TUpDown& x) { return x.Position(); },
              [](TUpDown& x, std::int64_t v) { x.SetPosition(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Thousands", [](const TUpDown& x) { return x.Thousands(); }, [](TUpDown& x, std::int64_t v) { x.SetThousands(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("Wrap", [](const TUpDown& x) { return x.Wrap(); }, [](TUpDown& x, std::int64_t v) { x.SetWrap(v != 0); })
        .defaultValue = std::int64_t{0};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomUpDown::TCustomUpDown(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = GetSystemMetrics(SM_CXVSCROLL);
  height_ = 25;
  controlStyle_ &= ~(csSetCaption | csDoubleClicks | csClickEvents);
}

TCustomUpDown::~TCustomUpDown() {
  if (associate_) associate_->RemoveFreeNotification(this);
}

void TCustomUpDown::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = UPDOWN_CLASSW;
  p.caption.clear();
  p.style |= UDS_SETBUDDYINT;
  p.style |= alignButton_ == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT;
  if (orientation_ == udHorizontal) p.style |= UDS_HORZ;
  if (arrowKeys_) p.style |= UDS_ARROWKEYS;
  if (wrap_) p.style |= UDS_WRAP;
  if (!thousands_) p.style |= UDS_NOTHOUSANDS;
}

void TCustomUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  SendMessageW(handle_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  AttachAssociate();
  SendMessageW(handle_, UDM_SETPOS32, 0, position_);
}

void TCustomUpDown::DestroyWnd() {
  if (handle_) {
    // The position lives in the window (and the associate's text) while there is one.
    position_ = Position();
    ReleaseAssociate();
  }
  TWinControl::DestroyWnd();
}

void TCustomUpDown::AttachAssociate() {
  if (!handle_ || !associate_) return;
  const int before = associate_->Width();
  // The control moves itself beside the associate and narrows it by its own width.
  SendMessageW(handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
  associateShrunk_ = std::max(before - associate_->Width(), 0);
  SendMessageW(handle_, UDM_SETPOS32, 0, position_);
}

void TCustomUpDown::ReleaseAssociate() {
  if (handle_) SendMessageW(handle_, UDM_SETBUDDY, 0, 0);
  if (!associate_ || associateShrunk_ == 0) return;
  const int width = associate_->Width() + associateShrunk_;
  const int left = alignButton_ == udLeft ? associate_->Left() - associateShrunk_ : associate_->Left();
  associateShrunk_ = 0;
  if (!associate_->HasState(csDestroying)) associate_->SetBounds(left, associate_->Top(), width, associate_->Height());
}

void TCustomUpDown::SetAssociate(TWinControl* c) {
  if (c == associate_ || c == this) return;
  if (associate_) {
    position_ = Position();
    ReleaseAssociate();
    associate_->RemoveFreeNotification(this);
  }
  associate_ = c;
  if (c) c->FreeNotification(this);
  if (!HasState(csLoading)) AttachAssociate();
}

void TCustomUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == associate_) {
    if (handle_) SendMessageW(handle_, UDM_SETBUDDY, 0, 0);
    associate_ = nullptr;
    associateShrunk_ = 0;
  }
}

void TCustomUpDown::Loaded() {
  TWinControl::Loaded();
  if (max_ < min_) std::swap(min_, max_);
  position_ = std::clamp(position_, std::min(min_, max_), std::max(min_, max_));
  if (handle_) {
    SendMessageW(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    AttachAssociate();
  }
}

void TCustomUpDown::SetAlignButton(TUDAlignButton a) {
  if (a == alignButton_) return;
  alignButton_ = a;
  RecreateWnd();
}

void TCustomUpDown::SetMin(int v) { SetRange(v, max_); }

void TCustomUpDown::SetMax(int v) { SetRange(min_, v); }

void TCustomUpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  if (HasState(csLoading)) return;
  position_ = std::clamp(Position(), std::min(min_, max_), std::max(min_, max_));
  if (!handle_) return;
  SendMessageW(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SendMessageW(handle_, UDM_SETPOS32, 0, position_);
}

int TCustomUpDown::Position() const {
  if (handle_) {
    BOOL failed = FALSE;
    const int v = static_cast<int>(SendMessageW(handle_, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (!failed) position_ = v;
  }
  return position_;
}

void TCustomUpDown::SetPosition(int v) {
  if (HasState(csLoading)) {
    position_ = v;
    return;
  }
  // Min may be above Max (the arrows then count down).
  position_ = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
  if (handle_) SendMessageW(handle_, UDM_SETPOS32, 0, position_);
}

void TCustomUpDown::SetIncrement(int v) {
  increment_ = v;
  if (!handle_) return;
  UDACCEL accel{0, static_cast<UINT>(v)};
  SendMessageW(handle_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TCustomUpDown::SetOrientation(TUDOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  if (!HasState(csLoading) && !associate_) SetBounds(left_, top_, height_, width_);
  RecreateWnd();
}

void TCustomUpDown::SetWrap(bool v) {
  if (v == wrap_) return;
  wrap_ = v;
  RecreateWnd();
}

void TCustomUpDown::SetArrowKeys(bool v) {
  if (v == arrowKeys_) return;
  arrowKeys_ = v;
  RecreateWnd();
}

void TCustomUpDown::SetThousands(bool v) {
  if (v == thousands_) return;
  thousands_ = v;
  RecreateWnd();
}

bool TCustomUpDown::CanChange(int newPosition) {
  bool allow = true;
  if (OnChanging) OnChanging(this, newPosition, allow);
  return allow;
}

void TCustomUpDown::ArrowClick(TUDBtnType button) {
  if (OnClickButton) OnClickButton(this, button);
  Click();
}

void TCustomUpDown::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (hdr->code == UDN_DELTAPOS) {
        auto* nm = reinterpret_cast<NMUPDOWN*>(m.LParam);
        long long next = static_cast<long long>(nm->iPos) + nm->iDelta;
        const int low = std::min(min_, max_), high = std::max(min_, max_);
        if (wrap_ && (next < low || next > high)) next = next < low ? high : low;
        next = std::clamp(next, static_cast<long long>(low), static_cast<long long>(high));
        lastDelta_ = nm->iDelta;
        // A nonzero answer keeps the position as it is.
        m.Result = CanChange(static_cast<int>(next)) ? 0 : 1;
        if (m.Result) lastDelta_ = 0;
        return;
      }
      break;
    }
    case CN_HSCROLL:
    case CN_VSCROLL:
      // The position moved (after UDN_DELTAPOS allowed it).
      if (LOWORD(m.WParam) == SB_THUMBPOSITION) {
        position_ = Position();
        // Up and right count up unless Min is above Max.
        const bool up = (lastDelta_ > 0) == (min_ <= max_);
        if (lastDelta_ != 0) ArrowClick(up ? btNext : btPrev);
        lastDelta_ = 0;
      }
      m.Result = 0;
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
