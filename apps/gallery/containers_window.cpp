// The gallery's containers and bars: tool bars in list and icon modes, a cool bar, group boxes
// (one right to left), panels with bevels, an embedded frame, labels, a page control and a status
// bar with a size grip.
#include "gallery_form.h"

#include "host/button_controls.h"
#include "host/combo_box.h"
#include "host/cool_bar.h"
#include "host/edit.h"
#include "host/frames.h"
#include "host/status_bar.h"
#include "host/tab_controls.h"
#include "host/tool_bar.h"

namespace vex::gallery {

using namespace vex::host;

namespace {

// A frame of its own stored form, embedded in the window.
class TContactFrame : public TFrame {
  VEX_CLASS(TContactFrame)
 public:
  explicit TContactFrame(TComponent* owner, const TClassInfo& cls = StaticClass()) : TFrame(owner, cls) {}
};

const char kContactFrame[] =
    "object ContactFrame: TContactFrame\n"
    "  Width = 250\n"
    "  Height = 62\n"
    "  object NameLabel: TLabel\n"
    "    Left = 6\n"
    "    Top = 8\n"
    "    Caption = '&Name'\n"
    "    FocusControl = NameEdit\n"
    "  end\n"
    "  object NameEdit: TEdit\n"
    "    Left = 60\n"
    "    Top = 4\n"
    "    Width = 180\n"
    "    Height = 22\n"
    "  end\n"
    "  object MailLabel: TLabel\n"
    "    Left = 6\n"
    "    Top = 36\n"
    "    Caption = '&Mail'\n"
    "    FocusControl = MailEdit\n"
    "  end\n"
    "  object MailEdit: TEdit\n"
    "    Left = 60\n"
    "    Top = 32\n"
    "    Width = 180\n"
    "    Height = 22\n"
    "  end\n"
    "end\n";

const TClassInfo& TContactFrame::StaticClass() {
  static TClassInfo info("TContactFrame", &TFrame::StaticClass(), FrameFactory<TContactFrame>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    RegisterFrameForm(info, kContactFrame);
    return true;
  }();
  (void)once;
  return info;
}

TToolButton* AddToolButton(TToolBar* bar, TComponent* owner, const wchar_t* caption, int image,
                           TToolButtonStyle style = tbsButton) {
  auto* b = new TToolButton(owner);
  b->SetStyle(style);
  b->SetCaption(caption);
  b->SetImageIndex(image);
  b->SetParent(bar);
  return b;
}

}  // namespace

TForm* TGalleryForm::OpenContainersWindow() {
  auto* f = new TForm(nullptr);
  f->SetName("ContainersWindow");
  f->SetCaption(L"Containers and bars");
  f->SetBounds(Left() + 40, Top() + 40, 640, 520);
  f->OnClose = [](TCustomForm*, TCloseAction& a) { a = caFree; };

  // A tool bar with the image beside the caption, and one with the caption under the image.
  auto* listBar = new TToolBar(f);
  listBar->SetName("ListBar");
  listBar->SetParent(f);
  listBar->SetImages(images_);
  listBar->SetList(true);
  listBar->SetShowCaptions(true);
  listBar->SetAutoSize(true);
  listBar->BeginUpdate();
  AddToolButton(listBar, f, L"Open", 0);
  AddToolButton(listBar, f, L"Colour", 1, tbsDropDown);
  AddToolButton(listBar, f, L"", -1, tbsSeparator);
  TToolButton* bold = AddToolButton(listBar, f, L"Message", 2, tbsCheck);
  bold->SetDown(true);
  AddToolButton(listBar, f, L"Dialog", 3, tbsCheck);
  listBar->EndUpdate();
  auto* iconBar = new TToolBar(f);
  iconBar->SetName("IconBar");
  iconBar->SetParent(f);
  iconBar->SetImages(images_);
  iconBar->SetShowCaptions(true);
  iconBar->SetAutoSize(true);
  iconBar->BeginUpdate();
  AddToolButton(iconBar, f, L"Windows", 4);
  AddToolButton(iconBar, f, L"About", 5);
  AddToolButton(iconBar, f, L"Open", 0);
  AddToolButton(iconBar, f, L"Dialog", 3, tbsCheck)->SetDown(true);
  iconBar->EndUpdate();

  // A cool bar with two bands.
  auto* cool = new TCoolBar(f);
  cool->SetName("Cool");
  cool->SetParent(f);
  auto* address = new TEdit(f);
  address->SetParent(cool);
  address->SetText(L"Z:\\gallery\\containers");
  auto* find = new TComboBox(f);
  find->SetParent(cool);
  for (const char* s : {"Title bar", "Borders", "Tabs"}) find->Items().Add(s);
  find->SetItemIndex(2);
  TCoolBand* first = cool->Bands().Add();
  first->SetText(L"Address");
  first->SetControl(address);
  first->SetWidth(380);
  TCoolBand* second = cool->Bands().Add();
  second->SetText(L"Find");
  second->SetControl(find);

  auto* status = new TStatusBar(f);
  status->SetName("Status");
  status->SetParent(f);
  struct TPanelRow {
    const wchar_t* text;
    int width;
    TAlignment alignment;
  };
  for (const TPanelRow& row : {TPanelRow{L"Ready", 160, taLeftJustify}, TPanelRow{L"Ln 12, Col 4", 120, taCenter},
                               TPanelRow{L"Insert", 80, taRightJustify}, TPanelRow{L"Size grip at the right", 0, taLeftJustify}}) {
    TStatusPanel* p = status->Panels().Add();
    p->SetText(row.text);
    if (row.width > 0) p->SetWidth(row.width);
    p->SetAlignment(row.alignment);
  }

  const int top = 110;
  // Group boxes: captions at the left, and at the right for right-to-left reading.
  auto* options = new TGroupBox(f);
  options->SetParent(f);
  options->SetCaption(L"Options");
  options->SetBounds(10, top, 190, 86);
  auto* hints = new TCheckBox(f);
  hints->SetParent(options);
  hints->SetCaption(L"Show hints");
  hints->SetChecked(true);
  hints->SetBounds(12, 22, 160, 20);
  auto* remember = new TCheckBox(f);
  remember->SetParent(options);
  remember->SetCaption(L"Remember size");
  remember->SetBounds(12, 48, 160, 20);
  auto* rtl = new TGroupBox(f);
  rtl->SetParent(f);
  rtl->SetCaption(L"Right to left");
  rtl->SetBiDiMode(bdRightToLeft);
  rtl->SetBounds(10, top + 94, 190, 60);
  auto* rtlLabel = new TLabel(f);
  rtlLabel->SetParent(rtl);
  rtlLabel->SetCaption(L"Caption at the right end");
  rtlLabel->SetBounds(12, 26, 160, 16);

  // Panels with bevels.
  struct TBevelRow {
    const wchar_t* caption;
    TBevelCut outer, inner;
    int width;
  };
  int x = 210;
  for (const TBevelRow& row : {TBevelRow{L"Raised", bvRaised, bvNone, 1}, TBevelRow{L"Lowered", bvLowered, bvNone, 1},
                               TBevelRow{L"Framed", bvRaised, bvLowered, 2}}) {
    auto* panel = new TPanel(f);
    panel->SetParent(f);
    panel->SetCaption(row.caption);
    panel->SetBevelOuter(row.outer);
    panel->SetBevelInner(row.inner);
    panel->SetBevelWidth(row.width);
    panel->SetBounds(x, top + 6, 78, 44);
    x += 86;
  }
  // Labels: a word-wrapped one, and a transparent one over a panel of its own.
  auto* wrapped = new TLabel(f);
  wrapped->SetParent(f);
  wrapped->SetWordWrap(true);
  wrapped->SetAutoSize(false);
  wrapped->SetBounds(210, top + 58, 250, 40);
  wrapped->SetCaption(L"A word-wrapped label: its text breaks at the label's width and takes the skin's font colour.");
  auto* backing = new TPanel(f);
  backing->SetParent(f);
  backing->SetBevelOuter(bvLowered);
  backing->SetBounds(468, top + 58, 150, 40);
  auto* transparent = new TLabel(f);
  transparent->SetParent(backing);
  transparent->SetCaption(L"Transparent label");
  transparent->SetBounds(10, 12, 130, 16);

  auto* frame = static_cast<TContactFrame*>(FrameFactory<TContactFrame>(f));
  frame->SetName("Contact");
  frame->SetParent(f);
  frame->SetBounds(366, top + 104, 250, 62);
  if (auto* name = dynamic_cast<TEdit*>(frame->FindComponent("NameEdit"))) name->SetText(L"An embedded frame");

  // A page control whose tabs carry images; the second caption shows one ampersand.
  auto* pages = new TPageControl(f);
  pages->SetName("Pages");
  pages->SetParent(f);
  pages->SetImages(images_);
  pages->SetBounds(10, top + 172, 606, 170);
  pages->SetAnchors(akLeft | akTop | akRight | akBottom);
  const wchar_t* captions[] = {L"General", L"Fish && Chips", L"No image", L"Advanced"};
  const int images[] = {0, 1, -1, 3};
  for (int i = 0; i < 4; ++i) {
    auto* page = new TTabSheet(f);
    page->SetPageControl(pages);
    page->SetCaption(captions[i]);
    page->SetImageIndex(images[i]);
    auto* note = new TLabel(f);
    note->SetParent(page);
    note->SetBounds(12, 12, 300, 16);
    note->SetCaption(std::wstring(L"Page ") + std::to_wstring(i + 1) + L": controls on a page stand in the form's colour.");
    auto* check = new TCheckBox(f);
    check->SetParent(page);
    check->SetCaption(L"A check box on the page");
    check->SetChecked(i % 2 == 0);
    check->SetBounds(12, 40, 200, 20);
    auto* button = new TButton(f);
    button->SetParent(page);
    button->SetCaption(L"Button");
    button->SetBounds(12, 70, 90, 27);
  }
  pages->SetActivePageIndex(1);
  f->Show();
  return f;
}

}  // namespace vex::gallery
