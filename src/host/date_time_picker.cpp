#include "host/date_time_picker.h"

#include <commctrl.h>

#include "host/prop_builder.h"

namespace vex::host {

const TClassInfo& TDateTimePicker::StaticClass() {
  static TClassInfo info("TDateTimePicker", &TWinControl::StaticClass(), ComponentFactory<TDateTimePicker>);
  static const bool once = [] {
    TPropBuilder<TDateTimePicker> b(info);
    b.Enum("Kind", "TDateTimeKind", {"dtkDate", "dtkTime"}, [](const TDateTimePicker& x) { return x.Kind(); },
           [](TDateTimePicker& x, std::int64_t v) { x.SetKind(static_cast<TDateTimeKind>(v)); })
        .defaultValue = std::int64_t{dtkDate};
    b.Enum("DateMode", "TDTDateMode", {"dmComboBox", "dmUpDown"}, [](const TDateTimePicker& x) { return x.DateMode(); },
           [](TDateTimePicker& x, std::int64_t v) { x.SetDateMode(static_cast<TDTDateMode>(v)); })
        .defaultValue = std::int64_t{dmComboBox};
    b.Enum("DateFormat", "TDTDateFormat", {"dfShort", "dfLong"}, [](const TDateTimePicker& x) { return x.DateFormat(); },
           [](TDateTimePicker& x, std::int64_t v) { x.SetDateFormat(static_cast<TDTDateFormat>(v)); })
        .defaultValue = std::int64_t{dfShort};
    // Stored as "YYYY-MM-DD" and "HH:MM:SS".
    b.WideString("Date", [](const TDateTimePicker& x) { return DateToIso(x.Date()); },
                 [](TDateTimePicker& x, const std::wstring& v) { x.SetDate(IsoToDate(v)); });
    b.WideString("Time", [](const TDateTimePicker& x) { return TimeToIso(x.Time()); },
                 [](TDateTimePicker& x, const std::wstring& v) { x.SetTime(IsoToTime(v)); });
    b.Boolean("ShowCheckbox", [](const TDateTimePicker& x) { return x.ShowCheckbox(); },
              [](TDateTimePicker& x, std::int64_t v) { x.SetShowCheckbox(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Checked", [](const TDateTimePicker& x) { return x.Checked(); }, [](TDateTimePicker& x, std::int64_t v) { x.SetChecked(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Method("OnChange", "TNotifyEvent", [](const TDateTimePicker& x) { return x.OnChange; },
             [](TDateTimePicker& x, const TMethodValue& m) { x.OnChange = m; });
    b.Method("OnDropDown", "TNotifyEvent", [](const TDateTimePicker& x) { return x.OnDropDown; },
             [](TDateTimePicker& x, const TMethodValue& m) { x.OnDropDown = m; });
    b.Method("OnCloseUp", "TNotifyEvent", [](const TDateTimePicker& x) { return x.OnCloseUp; },
             [](TDateTimePicker& x, const TMethodValue& m) { x.OnCloseUp = m; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TDateTimePicker::TDateTimePicker(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 186;
  height_ = 21;
  tabStop_ = true;
  color_ = clWindow;
  controlStyle_ &= ~(csSetCaption | csDoubleClicks);
  // A new picker shows now.
  SYSTEMTIME now;
  GetLocalTime(&now);
  value_ = SystemTimeToDateTime(now);
}

void TDateTimePicker::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = DATETIMEPICK_CLASSW;
  p.caption.clear();
  if (kind_ == dtkTime)
    p.style |= DTS_TIMEFORMAT;  // times always change with arrows
  else if (dateMode_ == dmUpDown)
    p.style |= DTS_UPDOWN;
  if (kind_ == dtkDate) p.style |= dateFormat_ == dfLong ? DTS_LONGDATEFORMAT : DTS_SHORTDATEFORMAT;
  if (showCheckbox_) p.style |= DTS_SHOWNONE;
}

void TDateTimePicker::CreateWnd() {
  TWinControl::CreateWnd();
  WriteValue();
}

void TDateTimePicker::DestroyWnd() {
  // The value lives in the window while there is one.
  if (handle_) ReadValue();
  TWinControl::DestroyWnd();
}

void TDateTimePicker::ReadValue() const {
  if (!handle_) return;
  SYSTEMTIME st{};
  const LRESULT r = SendMessageW(handle_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  if (r == GDT_VALID) {
    value_ = SystemTimeToDateTime(st);
    checked_ = true;
  } else if (r == GDT_NONE) {
    checked_ = false;
  }
}

void TDateTimePicker::WriteValue() {
  if (!handle_) return;
  // The value goes in even when unchecked, so checking the box brings it back.
  SYSTEMTIME st = DateTimeToSystemTime(value_);
  SendMessageW(handle_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  if (showCheckbox_ && !checked_) SendMessageW(handle_, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&st));
}

TDateTime TDateTimePicker::DateTime() const {
  ReadValue();
  return value_;
}

void TDateTimePicker::SetDateTime(TDateTime t) {
  ReadValue();
  value_ = t;
  checked_ = true;
  WriteValue();
}

bool TDateTimePicker::Checked() const {
  ReadValue();
  return checked_;
}

void TDateTimePicker::SetChecked(bool v) {
  ReadValue();
  checked_ = v;
  WriteValue();
}

void TDateTimePicker::SetKind(TDateTimeKind k) {
  if (k == kind_) return;
  kind_ = k;
  RecreateWnd();
}

void TDateTimePicker::SetDateMode(TDTDateMode m) {
  if (m == dateMode_) return;
  dateMode_ = m;
  RecreateWnd();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat f) {
  if (f == dateFormat_) return;
  dateFormat_ = f;
  RecreateWnd();
}

void TDateTimePicker::SetShowCheckbox(bool v) {
  if (v == showCheckbox_) return;
  showCheckbox_ = v;
  RecreateWnd();
}

bool TDateTimePicker::DroppedDown() const {
  // Some versions of the control keep the calendar window while it is closed, hidden.
  HWND calendar = handle_ ? reinterpret_cast<HWND>(SendMessageW(handle_, DTM_GETMONTHCAL, 0, 0)) : nullptr;
  return calendar && IsWindowVisible(calendar);
}

void TDateTimePicker::SetDroppedDown(bool v) {
  if (!handle_ || kind_ != dtkDate || dateMode_ != dmComboBox || v == DroppedDown()) return;
  if (!v) {
    SendMessageW(handle_, DTM_CLOSEMONTHCAL, 0, 0);
    if (!DroppedDown()) return;
    // A control without that message closes the calendar when its button is clicked again.
  }
  ClickDropButton();
}

void TDateTimePicker::ClickDropButton() {
  // As a click on the control's drop button does.
  RECT r;
  GetClientRect(handle_, &r);
  const int x = UseRightToLeftAlignment() ? r.left + 4 : r.right - 4;
  const LPARAM at = MAKELPARAM(x, (r.top + r.bottom) / 2);
  SendMessageW(handle_, WM_LBUTTONDOWN, MK_LBUTTON, at);
  if (handle_) SendMessageW(handle_, WM_LBUTTONUP, 0, at);
}

void TDateTimePicker::Change() {
  if (OnChange.handler) OnChange.handler(this);
}

void TDateTimePicker::WndProc(TMessage& m) {
  if ((m.Msg == WM_KEYDOWN && m.WParam == VK_F4) || (m.Msg == WM_SYSKEYDOWN && m.WParam == VK_DOWN)) {
    // F4 and Alt+Down open the calendar; a control that does not do it itself is helped.
    TWinControl::WndProc(m);
    if (handle_ && kind_ == dtkDate && dateMode_ == dmComboBox && !DroppedDown()) ClickDropButton();
    return;
  }
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    switch (hdr->code) {
      case DTN_DATETIMECHANGE: {
        auto* change = reinterpret_cast<NMDATETIMECHANGE*>(m.LParam);
        if (change->dwFlags == GDT_VALID) {
          value_ = SystemTimeToDateTime(change->st);
          checked_ = true;
        } else {
          checked_ = false;
        }
        Change();
        break;
      }
      case DTN_DROPDOWN:
        if (OnDropDown.handler) OnDropDown.handler(this);
        break;
      case DTN_CLOSEUP:
        if (OnCloseUp.handler) OnCloseUp.handler(this);
        break;
      default:
        break;
    }
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
