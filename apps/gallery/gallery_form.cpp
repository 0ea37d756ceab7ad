#include "gallery_form.h"

#include <commdlg.h>

#include "engine/skin_engine.h"
#include "host/application.h"
#include "host/bit_btn.h"
#include "host/button_controls.h"
#include "host/speed_button.h"
#include "host/dialogs.h"
#include "host/edit.h"
#include "host/grids.h"
#include "host/list_box.h"
#include "host/list_view.h"
#include "host/combo_box.h"
#include "host/combo_box_ex.h"
#include "host/date_time_picker.h"
#include "host/progress_bar.h"
#include "host/scroll_bar.h"
#include "host/track_bar.h"
#include "host/up_down.h"
#include "host/tree_view.h"
#include "image/raster.h"
#include "native_dialog.h"
// Last: its message-cracker macros share names with tree-node methods.
#include <windowsx.h>

namespace vex::gallery {

using namespace vex::host;

namespace {

// Small menu images drawn by code: open, colour, message, dialog, window, about.
TBitmap MenuImages() {
  image::TvexImage img(16 * 6, 16, 0xFF00FF);
  image::TRaster r(img, 0xFF00FF, 0xF0F0F0);
  const std::uint32_t ink = image::Rgb(31, 103, 148), light = image::Rgb(148, 200, 232);
  // Open: a folder.
  r.RoundRect(1, 5, 15, 14, 1.5, image::Rgb(232, 184, 64));
  r.RoundRect(1, 3, 7, 7, 1, image::Rgb(214, 160, 40));
  // Colour: three dots.
  r.Ellipse(16 + 5, 6, 3.2, 3.2, image::Rgb(214, 64, 52));
  r.Ellipse(16 + 11, 6, 3.2, 3.2, image::Rgb(64, 160, 72));
  r.Ellipse(16 + 8, 11, 3.2, 3.2, image::Rgb(52, 104, 214));
  // Message: a speech bubble.
  r.RoundRect(32 + 1, 2, 32 + 15, 11, 2, ink);
  r.Triangle(32 + 4, 10, 32 + 8, 10, 32 + 4, 14, ink);
  // Dialog: a small window.
  r.RoundRect(48 + 1, 2, 48 + 15, 14, 1, ink);
  r.Fill(48 + 2, 5, 48 + 14, 13, image::Rgb(240, 242, 245));
  r.Fill(48 + 9, 10, 48 + 13, 12, light);
  // Windows: two overlapping windows.
  r.RoundRect(64 + 5, 1, 64 + 15, 10, 1, light);
  r.RoundRect(64 + 1, 5, 64 + 11, 15, 1, ink);
  r.Fill(64 + 2, 8, 64 + 10, 14, image::Rgb(240, 242, 245));
  // About: an "i".
  r.Ellipse(80 + 8, 8, 7, 7, ink);
  r.Fill(80 + 7, 7, 80 + 9, 12, 0xFFFFFF);
  r.Fill(80 + 7, 4, 80 + 9, 6, 0xFFFFFF);
  TBitmap b;
  b.LoadFromImage(img);
  return b;
}

// Glyphs of the showcase buttons, 16 x 16 on a magenta background: a star, and for the speed
// buttons left, centre and right text alignment.
TBitmap Glyph(int kind) {
  image::TvexImage img(16, 16, 0xFF00FF);
  image::TRaster r(img, 0xFF00FF, 0xF0F0F0);
  const std::uint32_t ink = image::Rgb(31, 103, 148);
  if (kind == 0) {
    r.Triangle(8, 1, 3, 14, 13, 14, image::Rgb(232, 168, 32));
    r.Triangle(1, 6, 15, 6, 8, 11, image::Rgb(232, 168, 32));
  } else {
    for (int line = 0; line < 4; ++line) {
      const int width = line % 2 ? 9 : 13;
      const int left = kind == 1 ? 1 : kind == 2 ? (16 - width) / 2 : 15 - width;
      r.Fill(left, 2 + line * 3, left + width, 4 + line * 3, ink);
    }
  }
  TBitmap b;
  b.LoadFromImage(img);
  return b;
}

}  // namespace

TGalleryForm::TGalleryForm(TComponent* owner) : TForm(owner) {
  SetName("GalleryForm");
  SetCaption(L"vexskin gallery");
  SetBounds(20, 20, 700, 480);
  Constraints().MinWidth = 420;
  Constraints().MinHeight = 300;

  images_ = new TImageList(this, 16, 16);
  images_->SetName("MenuImages");
  images_->AddMasked(MenuImages(), clFuchsia);

  menu_ = new TMainMenu(this);
  menu_->SetName("MainMenu1");
  menu_->SetImages(images_);
  TMenuItem* file = Item(menu_->Items(), L"&File");
  Item(file, L"&Open...", [this] { ShowOpenDialog(); }, 0, MakeShortCut('O', scCtrl));
  Item(file, L"&Colour...", [this] { ShowColourDialog(); }, 1);
  Item(file, L"-");
  Item(file, L"E&xit", [this] { Close(); }, -1, MakeShortCut(VK_F4, scAlt));
  TMenuItem* view = Item(menu_->Items(), L"&View");
  TMenuItem* toolbar = Item(view, L"&Tool area");
  toolbar->SetChecked(true);
  toolbar->OnClick.handler = [this, toolbar](TObject*) {
    toolbar->SetChecked(!toolbar->Checked());
    tools_->SetVisible(toolbar->Checked());
  };
  TMenuItem* statusItem = Item(view, L"&Status line");
  statusItem->SetChecked(true);
  statusItem->OnClick.handler = [this, statusItem](TObject*) {
    statusItem->SetChecked(!statusItem->Checked());
    status_->SetVisible(statusItem->Checked());
  };
  Item(view, L"-");
  for (const wchar_t* size : {L"S&mall", L"M&edium", L"L&arge"}) {
    TMenuItem* r = Item(view, size);
    r->SetRadioItem(true);
    r->SetGroupIndex(1);
    r->OnClick.handler = [r](TObject*) { r->SetChecked(true); };
    if (size[2] == L'e') r->SetChecked(true);
  }
  TMenuItem* disabled = Item(view, L"&Disabled item");
  disabled->SetEnabled(false);
  TMenuItem* windows = Item(menu_->Items(), L"&Windows");
  Item(windows, L"Native &message box", [this] { ShowNativeMessageBox(); }, 2, MakeShortCut('M', scCtrl));
  Item(windows, L"&Framework message", [this] { ShowFrameworkMessage(); }, 2);
  Item(windows, L"Native &dialog", [this] { ShowNativeDialog(); }, 3, MakeShortCut('D', scCtrl));
  Item(windows, L"Native &window", [this] { OpenNativeWindow(Handle()); }, 3);
  Item(windows, L"-");
  Item(windows, L"&Documents (MDI)", [this] { OpenMdiWindow(); }, 4);
  Item(windows, L"&Second form", [this] { OpenSecondForm(); }, 4);
  Item(windows, L"&Lists and grids", [this] { OpenListsWindow(); }, 4);
  Item(windows, L"&Ranges and pickers", [this] { OpenRangesWindow(); }, 4);
  Item(windows, L"&Containers and bars", [this] { OpenContainersWindow(); }, 4);
  TMenuItem* skin = Item(menu_->Items(), L"&Skin");
  skinItems_[0] = Item(skin, L"&Default skin", [this] { UseSkin(-1); });
  skinItems_[1] = Item(skin, L"Dar&k skin", [this] { UseSkin(0); });
  skinItems_[2] = Item(skin, L"&Light or dark as the system", [this] { FollowSystemMode(); });
  for (TMenuItem* i : skinItems_) {
    i->SetRadioItem(true);
    i->SetGroupIndex(2);
  }
  skinItems_[2]->SetChecked(true);
  Item(skin, L"-");
  skinningItem_ = Item(skin, L"Skinning &on", [this] { SetSkinning(!skinningItem_->Checked()); }, -1, MakeShortCut('K', scCtrl));
  skinningItem_->SetChecked(true);
  TMenuItem* help = Item(menu_->Items(), L"&Help");
  Item(help, L"&About", [] { MessageDlg(L"vexskin gallery: the windows a skin engine dresses.", mtInformation, mbOK); }, 5);
  SetMenu(menu_);

  popup_ = new TPopupMenu(this);
  popup_->SetName("PopupMenu1");
  popup_->SetImages(images_);
  Item(popup_->Items(), L"&Open...", [this] { ShowOpenDialog(); }, 0);
  Item(popup_->Items(), L"&Colour...", [this] { ShowColourDialog(); }, 1);
  Item(popup_->Items(), L"-");
  TMenuItem* check = Item(popup_->Items(), L"&Checked item");
  check->SetChecked(true);
  Item(popup_->Items(), L"&Message", [this] { ShowFrameworkMessage(); }, 2);

  tools_ = new TPanel(this);
  tools_->SetParent(this);
  tools_->SetHeight(38);
  tools_->SetAlign(alTop);
  struct TTool {
    const wchar_t* caption;
    std::function<void()> action;
  };
  const TTool tools[] = {{L"Message box", [this] { ShowNativeMessageBox(); }}, {L"Message", [this] { ShowFrameworkMessage(); }},
                         {L"Dialog", [this] { ShowNativeDialog(); }},          {L"Open...", [this] { ShowOpenDialog(); }},
                         {L"Colour...", [this] { ShowColourDialog(); }},       {L"MDI", [this] { OpenMdiWindow(); }}};
  int x = 6;
  for (const TTool& t : tools) {
    auto* b = new TButton(this);
    b->SetParent(tools_);
    b->SetBounds(x, 6, 92, 26);
    b->SetCaption(t.caption);
    auto action = t.action;
    b->OnClick.handler = [action](TObject*) { action(); };
    x += 98;
  }

  status_ = new TPanel(this);
  status_->SetParent(this);
  status_->SetHeight(24);
  status_->SetAlign(alBottom);
  status_->SetBevelOuter(bvLowered);
  status_->SetAlignment(taLeftJustify);
  SetStatus(L"Ready. Right-click for the popup menu.");

  body_ = new TPanel(this);
  body_->SetParent(this);
  body_->SetAlign(alClient);
  body_->SetBevelOuter(bvNone);
  body_->SetColor(clWindow);
  auto* title = new TLabel(this);
  title->SetParent(body_);
  title->SetBounds(24, 20, 400, 20);
  title->Font().SetHeight(-20);
  title->Font().SetStyle(fsBold);
  title->SetCaption(L"Gallery");
  auto* text = new TLabel(this);
  text->SetParent(body_);
  text->SetBounds(24, 56, 560, 120);
  text->SetAutoSize(false);
  text->SetWordWrap(true);
  text->SetCaption(L"Every window here is an ordinary window of this program: a native message box, the framework's "
                   L"message dialog, a dialog built from a template with the standard controls, the common open-file "
                   L"and colour dialogs, and a multiple-document window. The skin engine dresses them all.");
  body_->OnClick.handler = nullptr;
  AddControls();
}

void TGalleryForm::AddControls() {
  int x = 24;
  auto place = [this, &x](TControl* c, int y, int w, int h) {
    c->SetParent(body_);
    c->SetBounds(x, y, w, h);
    x += w + 8;
  };
  // Push buttons: the default one, a disabled one, bit buttons of standard kinds, with a glyph of
  // the program's and disabled with it.
  auto* def = new TButton(this);
  def->SetCaption(L"Default");
  def->SetDefault(true);
  def->OnClick.handler = [this](TObject*) { SetStatus(L"The default button was clicked."); };
  place(def, 120, 84, 27);
  auto* off = new TButton(this);
  off->SetCaption(L"Disabled");
  off->SetEnabled(false);
  place(off, 120, 84, 27);
  for (TBitBtnKind kind : {bkOK, bkCancel}) {
    auto* b = new TBitBtn(this);
    b->SetKind(kind);
    b->SetModalResult(mrNone);
    b->OnClick.handler = [this, b](TObject*) { SetStatus(b->Caption() + L" was clicked."); };
    place(b, 120, 84, 27);
  }
  auto* star = new TBitBtn(this);
  star->SetCaption(L"Star");
  star->SetGlyph(Glyph(0));
  star->OnClick.handler = [this](TObject*) { SetStatus(L"The star button was clicked."); };
  place(star, 120, 84, 27);
  auto* dimStar = new TBitBtn(this);
  dimStar->SetCaption(L"Star");
  dimStar->SetGlyph(Glyph(0));
  dimStar->SetEnabled(false);
  place(dimStar, 120, 84, 27);

  // Speed buttons: three in a group (one always down), and two flat ones on their own.
  x = 24;
  for (int i = 1; i <= 3; ++i) {
    auto* s = new TSpeedButton(this);
    s->SetGlyph(Glyph(i));
    s->SetGroupIndex(1);
    s->SetDown(i == 1);
    s->OnClick.handler = [this, i](TObject*) { SetStatus(L"Alignment " + std::to_wstring(i) + L" chosen."); };
    place(s, 160, 28, 26);
    x -= 6;
  }
  x += 14;
  for (const wchar_t* caption : {L"Bold", L"Italic"}) {
    auto* s = new TSpeedButton(this);
    s->SetCaption(caption);
    s->SetFlat(true);
    s->SetGroupIndex(caption[0] == L'B' ? 2 : 3);
    s->SetAllowAllUp(true);
    place(s, 160, 60, 26);
  }

  // Check boxes in their three states and disabled; radio buttons, one of them disabled.
  x = 24;
  struct {
    const wchar_t* caption;
    TCheckBoxState state;
    bool enabled;
  } const boxes[] = {{L"Checked", cbChecked, true}, {L"Unchecked", cbUnchecked, true}, {L"Grayed", cbGrayed, true},
                     {L"Disabled", cbChecked, false}};
  for (const auto& b : boxes) {
    auto* c = new TCheckBox(this);
    c->SetCaption(b.caption);
    c->SetAllowGrayed(true);
    c->SetState(b.state);
    c->SetEnabled(b.enabled);
    place(c, 202, 110, 21);
  }
  x = 24;
  const wchar_t* radios[] = {L"First", L"Second", L"Disabled"};
  for (int i = 0; i < 3; ++i) {
    auto* r = new TRadioButton(this);
    r->SetCaption(radios[i]);
    r->SetChecked(i == 0);
    r->SetEnabled(i != 2);
    place(r, 232, 110, 21);
  }
}

engine::TvexSkinEngine* TGalleryForm::Engine() const {
  for (int i = 0; i < ComponentCount(); ++i)
    if (Components(i)->Is<engine::TvexSkinEngine>()) return static_cast<engine::TvexSkinEngine*>(Components(i));
  return nullptr;
}

void TGalleryForm::UseSkin(int index) {
  engine::TvexSkinEngine* e = Engine();
  if (!e || index >= e->AdditionalBuiltInSkins().Count()) {
    SetStatus(L"That skin is not stored with the program.");
    return;
  }
  // The light or the dark skin of the pair, kept whatever the system's mode.
  e->SetAppMode(index < 0 ? engine::amLight : engine::amDark);
  skinItems_[index < 0 ? 0 : 1]->SetChecked(true);
  SetStatus(index < 0 ? L"The default skin." : L"The dark skin.");
}

void TGalleryForm::FollowSystemMode() {
  engine::TvexSkinEngine* e = Engine();
  if (!e) return;
  e->SetAppMode(engine::amSystem);
  skinItems_[2]->SetChecked(true);
  SetStatus(e->ShowsDarkSkin() ? L"The dark skin, as the system is in dark mode." : L"The default skin, as the system is in light mode.");
}

void TGalleryForm::SetSkinning(bool on) {
  if (engine::TvexSkinEngine* e = Engine()) e->SetActive(on);
  skinningItem_->SetChecked(on);
  SetStatus(on ? L"Skinning on." : L"Skinning off: every window as the system draws it.");
}

TForm* TGalleryForm::OpenSecondForm() {
  auto* second = new TForm(nullptr);
  second->SetCaption(L"Second form");
  second->SetBounds(Left() + 80, Top() + 80, 360, 220);
  second->OnClose = [](TCustomForm*, TCloseAction& a) { a = caFree; };
  auto* label = new TLabel(second);
  label->SetParent(second);
  label->SetBounds(16, 16, 320, 40);
  label->SetAutoSize(false);
  label->SetWordWrap(true);
  label->SetCaption(L"A form opened later: the window hook skins it by its class name when it is first shown.");
  auto* check = new TCheckBox(second);
  check->SetParent(second);
  check->SetBounds(16, 70, 200, 21);
  check->SetCaption(L"Remember this choice");
  check->SetChecked(true);
  auto* close = new TButton(second);
  close->SetParent(second);
  close->SetBounds(260, 150, 80, 27);
  close->SetCaption(L"Close");
  close->SetAnchors(akRight | akBottom);
  close->OnClick.handler = [second](TObject*) { second->Close(); };
  second->Show();
  return second;
}

TForm* TGalleryForm::OpenListsWindow() {
  auto* f = new TForm(nullptr);
  f->SetCaption(L"Lists and grids");
  f->SetBounds(Left() + 40, Top() + 40, 700, 460);
  f->OnClose = [](TCustomForm*, TCloseAction& a) { a = caFree; };
  auto* memo = new TMemo(f);
  memo->SetParent(f);
  memo->SetBounds(10, 10, 220, 130);
  memo->SetScrollBars(ssBoth);
  memo->SetWordWrap(false);
  std::wstring text;
  for (int i = 1; i <= 40; ++i)
    text += L"Line " + std::to_wstring(i) + L" of a memo whose lines are longer than the memo is wide\r\n";
  memo->SetText(text);
  auto* list = new TListBox(f);
  list->SetParent(f);
  list->SetBounds(240, 10, 200, 130);
  for (int i = 1; i <= 50; ++i) list->Items().Add("List item " + std::to_string(i));
  list->SetItemIndex(2);
  auto* tree = new TTreeView(f);
  tree->SetParent(f);
  tree->SetBounds(450, 10, 230, 130);
  for (int i = 1; i <= 6; ++i) {
    TTreeNode* n = tree->Items().Add(nullptr, L"Folder " + std::to_wstring(i));
    for (int k = 1; k <= 4; ++k) tree->Items().AddChild(n, L"Document " + std::to_wstring(i) + L"." + std::to_wstring(k));
    n->SetExpanded(true);
  }
  auto* view = new TListView(f);
  view->SetParent(f);
  view->SetBounds(10, 150, 330, 150);
  view->SetViewStyle(vsReport);
  struct TCol {
    const wchar_t* caption;
    int width;
    TAlignment alignment;
  };
  for (const TCol& c : {TCol{L"Name", 130, taLeftJustify}, TCol{L"Size", 80, taRightJustify}, TCol{L"Kind", 110, taCenter}}) {
    auto* col = static_cast<TListColumn*>(view->Columns().Add());
    col->SetCaption(c.caption);
    col->SetWidth(c.width);
    col->SetAlignment(c.alignment);
  }
  for (int i = 1; i <= 60; ++i) {
    TListItem* item = view->Items().Add();
    item->SetCaption(L"File " + std::to_wstring(i) + L".txt");
    item->SubItems().Add(std::to_string(i * 37) + " KB");
    item->SubItems().Add(i % 3 ? "Text document" : "Picture");
  }
  auto* grid = new TStringGrid(f);
  grid->SetParent(f);
  grid->SetBounds(350, 150, 330, 150);
  grid->SetColCount(8);
  grid->SetRowCount(60);
  for (int c = 1; c < 8; ++c) grid->SetCells(c, 0, std::wstring(1, static_cast<wchar_t>(L'A' + c - 1)));
  for (int r = 1; r < 60; ++r) {
    grid->SetCells(0, r, std::to_wstring(r));
    for (int c = 1; c < 8; ++c) grid->SetCells(c, r, std::to_wstring(r * c));
  }
  auto* horizontal = new TScrollBar(f);
  horizontal->SetParent(f);
  horizontal->SetBounds(10, 314, 430, 17);
  horizontal->SetMax(100);
  horizontal->SetPageSize(20);
  horizontal->SetPosition(30);
  auto* vertical = new TScrollBar(f);
  vertical->SetParent(f);
  vertical->SetKind(sbVertical);
  vertical->SetBounds(450, 310, 17, 100);
  vertical->SetMax(100);
  vertical->SetPosition(60);
  auto* close = new TButton(f);
  close->SetParent(f);
  close->SetBounds(600, 380, 80, 27);
  close->SetCaption(L"Close");
  close->SetAnchors(akRight | akBottom);
  close->OnClick.handler = [f](TObject*) { f->Close(); };
  f->Show();
  return f;
}

TForm* TGalleryForm::OpenRangesWindow() {
  auto* f = new TForm(nullptr);
  f->SetCaption(L"Ranges and pickers");
  f->SetBounds(Left() + 60, Top() + 60, 520, 380);
  f->OnClose = [](TCustomForm*, TCloseAction& a) { a = caFree; };
  auto* track = new TTrackBar(f);
  track->SetParent(f);
  track->SetBounds(10, 10, 320, 45);
  track->SetRange(0, 20);
  track->SetPosition(8);
  track->SetSelStart(4);
  track->SetSelEnd(14);
  auto* both = new TTrackBar(f);
  both->SetParent(f);
  both->SetBounds(10, 65, 320, 45);
  both->SetRange(0, 10);
  both->SetPosition(3);
  both->SetTickMarks(tmBoth);
  auto* vertical = new TTrackBar(f);
  vertical->SetParent(f);
  vertical->SetOrientation(trVertical);
  vertical->SetBounds(350, 10, 45, 200);
  vertical->SetRange(0, 10);
  vertical->SetPosition(6);
  auto* progress = new TProgressBar(f);
  progress->SetParent(f);
  progress->SetBounds(10, 125, 320, 18);
  progress->SetPosition(65);
  auto* empty = new TProgressBar(f);
  empty->SetParent(f);
  empty->SetBounds(10, 150, 320, 18);
  empty->SetPosition(15);
  auto* upright = new TProgressBar(f);
  upright->SetParent(f);
  upright->SetOrientation(pbVertical);
  upright->SetBounds(420, 10, 18, 200);
  upright->SetPosition(40);
  auto* number = new TEdit(f);
  number->SetParent(f);
  number->SetBounds(10, 185, 80, 24);
  auto* spin = new TUpDown(f);
  spin->SetParent(f);
  spin->SetRange(0, 99);
  spin->SetPosition(42);
  spin->SetAssociate(number);
  auto* across = new TEdit(f);
  across->SetParent(f);
  across->SetBounds(130, 185, 80, 24);
  auto* sideways = new TUpDown(f);
  sideways->SetParent(f);
  sideways->SetOrientation(udHorizontal);
  sideways->SetRange(0, 9);
  sideways->SetPosition(7);
  sideways->SetAssociate(across);
  // Drop-down controls: a combo box of each style, one with images, a date and a time picker.
  struct TComboRow {
    TComboBoxStyle style;
    const wchar_t* label;
  };
  int y = 225;
  for (const TComboRow& row : {TComboRow{csDropDown, L"Typed or picked"}, TComboRow{csDropDownList, L"Picked only"}}) {
    auto* combo = new TComboBox(f);
    combo->SetParent(f);
    combo->SetStyle(row.style);
    combo->SetBounds(10, y, 150, 24);
    for (const char* s : {"Title bar", "Borders", "Buttons", "Scroll bars", "Menus"}) combo->Items().Add(s);
    combo->SetItemIndex(2);
    y += 32;
  }
  auto* simple = new TComboBox(f);
  simple->SetParent(f);
  simple->SetStyle(csSimple);
  simple->SetBounds(170, 225, 130, 90);
  for (const char* s : {"Always", "shown", "list"}) simple->Items().Add(s);
  auto* pictures = new TComboBoxEx(f);
  pictures->SetParent(f);
  pictures->SetBounds(10, 289, 150, 24);
  pictures->SetImages(images_);
  int image = 0;
  for (const wchar_t* caption : {L"Open", L"Colour", L"Message", L"Dialog"}) pictures->ItemsEx().AddItem(caption, image++);
  pictures->SetItemIndex(1);
  auto* date = new TDateTimePicker(f);
  date->SetParent(f);
  date->SetBounds(310, 225, 130, 24);
  date->SetDateTime(EncodeDate(2026, 12, 11) + EncodeTime(9, 30, 0));
  auto* time = new TDateTimePicker(f);
  time->SetParent(f);
  time->SetKind(dtkTime);
  time->SetBounds(310, 257, 130, 24);
  time->SetDateTime(EncodeDate(2026, 12, 11) + EncodeTime(9, 30, 0));
  auto* close = new TButton(f);
  close->SetParent(f);
  close->SetBounds(420, 300, 80, 27);
  close->SetCaption(L"Close");
  close->SetAnchors(akRight | akBottom);
  close->OnClick.handler = [f](TObject*) { f->Close(); };
  f->Show();
  return f;
}

TMenuItem* TGalleryForm::Item(TMenuItem* parent, const std::wstring& caption, std::function<void()> action, int image,
                              TShortCut sc) {
  auto* item = new TMenuItem(this);
  item->SetCaption(caption);
  item->SetImageIndex(image);
  item->SetShortCut(sc);
  if (action) item->OnClick.handler = [action](TObject*) { action(); };
  parent->Add(item);
  return item;
}

TPopupMenu* TGalleryForm::SystemMenu() const {
  for (int i = 0; i < ComponentCount(); ++i)
    if (Components(i)->Is<engine::TvexSkinEngine>()) return static_cast<engine::TvexSkinEngine*>(Components(i))->GetSystemMenu();
  return nullptr;
}

void TGalleryForm::SetStatus(const std::wstring& text) { status_->SetCaption(L"  " + text); }

void TGalleryForm::WndProc(TMessage& m) {
  if (m.Msg == WM_CONTEXTMENU) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    if (p.x == -1 && p.y == -1) {
      p = {40, 80};
      ClientToScreen(Handle(), &p);
    }
    popup_->Popup(p.x, p.y);
    return;
  }
  TForm::WndProc(m);
}

void TGalleryForm::ShowNativeMessageBox() {
  const int r = MessageBoxW(Handle(), L"This is a native message box.\nIts buttons are native buttons.", L"Message box",
                            MB_OKCANCEL | MB_ICONINFORMATION);
  SetStatus(r == IDOK ? L"The message box answered OK." : L"The message box answered Cancel.");
}

void TGalleryForm::ShowFrameworkMessage() {
  const int r = MessageDlg(L"Save the changes to the gallery before closing?", mtConfirmation, mbYes | mbNo | mbCancel);
  SetStatus(r == mrYes ? L"Yes." : r == mrNo ? L"No." : L"Cancelled.");
}

void TGalleryForm::ShowNativeDialog() {
  const INT_PTR r = gallery::ShowNativeDialog(Handle());
  SetStatus(r == IDOK ? L"The dialog answered OK." : L"The dialog was cancelled.");
}

void TGalleryForm::ShowOpenDialog(const wchar_t* folder) {
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = L"Skins (*.vsk)\0*.vsk\0All files (*.*)\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = L"Open a skin";
  ofn.lpstrInitialDir = folder;
  // Another folder is shown with all its files.
  ofn.nFilterIndex = folder ? 2 : 1;
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  SetStatus(GetOpenFileNameW(&ofn) ? std::wstring(L"Chose ") + file : L"No file chosen.");
}

void TGalleryForm::ShowColourDialog() {
  static COLORREF custom[16] = {};
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = Handle();
  cc.rgbResult = RGB(31, 103, 148);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (ChooseColorW(&cc)) {
    body_->SetColor(static_cast<TColor>(cc.rgbResult));
    SetStatus(L"A new colour.");
  } else {
    SetStatus(L"The colour stays.");
  }
}

TForm* TGalleryForm::OpenMdiWindow() {
  auto* frame = new TForm(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetCaption(L"Documents");
  frame->SetBounds(Left() + 60, Top() + 60, 600, 420);
  auto item = [frame](TMenuItem* parent, const std::wstring& caption, std::function<void()> action = nullptr, TShortCut sc = 0,
                      int group = 0) {
    auto* i = new TMenuItem(frame);
    i->SetCaption(caption);
    i->SetShortCut(sc);
    i->SetGroupIndex(group);
    if (action) i->OnClick.handler = [action](TObject*) { action(); };
    parent->Add(i);
    return i;
  };
  // The frame's own menu: File (group 0) and Window (group 9, the list of documents); each
  // document brings its Edit menu (group 1), which stands between them while it is active.
  auto* menu = new TMainMenu(frame);
  menu->SetImages(images_);
  TMenuItem* file = item(menu->Items(), L"&File");
  static int counter = 0;
  std::function<void()> makeChild = [frame] {
    const int n = ++counter;
    auto* child = new TForm(frame);
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(L"Document " + std::to_wstring(n));
    child->SetBounds(0, 0, 300, 190);
    auto* childMenu = new TMainMenu(child);
    auto* edit = new TMenuItem(child);
    edit->SetCaption(L"&Edit");
    edit->SetGroupIndex(1);
    childMenu->Items()->Add(edit);
    for (const wchar_t* caption : {L"&Undo", L"-", L"Cu&t", L"&Copy", L"&Paste"}) {
      auto* i = new TMenuItem(child);
      i->SetCaption(caption);
      edit->Add(i);
    }
    child->SetMenu(childMenu);
    auto* label = new TLabel(child);
    label->SetParent(child);
    label->SetBounds(12, 12, 260, 20);
    label->SetCaption(L"Document " + std::to_wstring(n) + L": its Edit menu joins the frame's bar.");
    child->Show();
  };
  item(file, L"&New document", makeChild, MakeShortCut('N', scCtrl));
  item(file, L"&Close document", [frame] {
    if (TCustomForm* active = frame->ActiveMDIChild()) active->Close();
  });
  item(file, L"-");
  item(file, L"Close &window", [frame] { frame->Close(); });
  TMenuItem* window = item(menu->Items(), L"&Window", nullptr, 0, 9);
  item(window, L"&Cascade", [frame] { frame->Cascade(); });
  item(window, L"Tile &horizontally", [frame] { frame->Tile(true); });
  item(window, L"Tile &vertically", [frame] { frame->Tile(false); });
  frame->SetMenu(menu);
  frame->SetWindowMenu(window);
  frame->OnClose = [](TCustomForm*, TCloseAction& a) { a = caFree; };
  frame->Show();
  for (int i = 0; i < 3; ++i) makeChild();
  frame->Cascade();
  return frame;
}

}  // namespace vex::gallery
