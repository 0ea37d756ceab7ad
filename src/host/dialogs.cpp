#include "host/dialogs.h"

#include <algorithm>

#include "host/application.h"
#include "host/text_encoding.h"

namespace vex::host {

const TClassInfo& TMessageForm::StaticClass() {
  static TClassInfo info("TMessageForm", &TForm::StaticClass(), ComponentFactory<TMessageForm>);
  static const bool once = [] { RegisterFrameworkClass(info); return true; }();
  (void)once;
  return info;
}

TMessageForm::TMessageForm(TComponent* owner, const TClassInfo& cls) : TForm(owner, cls) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
}

void TMessageForm::PaintWindow(HDC dc) {
  if (icon_) DrawIconEx(dc, 16, 16, icon_, 32, 32, 0, nullptr, DI_NORMAL);
}

TMessageForm* CreateMessageDialog(const std::wstring& text, TMsgDlgType type, int buttons) {
  static const wchar_t* kCaptions[] = {L"Warning", L"Error", L"Information", L"Confirm", L""};
  static const LPCWSTR kIcons[] = {IDI_WARNING, IDI_ERROR, IDI_INFORMATION, IDI_QUESTION, nullptr};
  struct TBtn {
    int flag;
    const wchar_t* caption;
    int result;
  };
  static const TBtn kButtons[] = {{mbYes, L"&Yes", mrYes},         {mbNo, L"&No", mrNo},
                                  {mbOK, L"OK", mrOk},             {mbCancel, L"Cancel", mrCancel},
                                  {mbAbort, L"&Abort", mrAbort},   {mbRetry, L"&Retry", mrRetry},
                                  {mbIgnore, L"&Ignore", mrIgnore}, {mbAll, L"&All", mrAll},
                                  {mbNoToAll, L"N&o to All", mrNoToAll}, {mbYesToAll, L"Yes to &All", mrYesToAll},
                                  {mbHelp, L"&Help", mrNone}};
  auto* form = new TMessageForm(nullptr);
  try {
    form->SetCaption(type == mtCustom ? Application().ExeName().substr(Application().ExeName().find_last_of(L"\\/") + 1)
                                      : kCaptions[type]);
    form->icon_ = kIcons[type] ? LoadIconW(nullptr, kIcons[type]) : nullptr;
    const int textLeft = form->icon_ ? 60 : 16;
    auto* label = new TLabel(form);
    label->SetName("Message");
    label->SetParent(form);
    label->SetLeft(textLeft);
    label->SetTop(20);
    label->SetCaption(text);
    form->message_ = label;

    std::vector<TButton*> made;
    for (const TBtn& b : kButtons) {
      if (!(buttons & b.flag)) continue;
      auto* button = new TButton(form);
      button->SetParent(form);
      button->SetCaption(b.caption);
      button->SetModalResult(b.result);
      made.push_back(button);
    }
    if (made.empty()) {
      auto* ok = new TButton(form);
      ok->SetParent(form);
      ok->SetCaption(L"OK");
      ok->SetModalResult(mrOk);
      made.push_back(ok);
    }
    made.front()->SetDefault(true);
    const int buttonsWidth = static_cast<int>(made.size()) * 75 + static_cast<int>(made.size() - 1) * 8;
    const int clientWidth = std::max(textLeft + label->Width() + 16, buttonsWidth + 32);
    const int textBottom = std::max(20 + label->Height(), form->icon_ ? 48 : 0);
    int x = (clientWidth - buttonsWidth) / 2;
    for (TButton* b : made) {
      b->SetBounds(x, textBottom + 16, 75, 25);
      x += 83;
    }
    form->SetClientSize(clientWidth, textBottom + 16 + 25 + 14);
    // Centred on the screen's work area.
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    form->SetBounds(work.left + (work.right - work.left - form->Width()) / 2, work.top + (work.bottom - work.top - form->Height()) / 2,
                    form->Width(), form->Height());
  } catch (...) {
    TComponent::Free(form);
    throw;
  }
  return form;
}

int MessageDlg(const std::wstring& text, TMsgDlgType type, int buttons) {
  TComponentPtr<TMessageForm> form(CreateMessageDialog(text, type, buttons));
  return form->ShowModal();
}

void ShowMessage(const std::wstring& text) { MessageDlg(text, mtCustom, mbOK); }

}  // namespace vex::host
