#include "host/tree_view.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "host/prop_builder.h"
#include "host/string_list.h"

namespace vex::host {

// ----- nodes -----

const TClassInfo& TTreeNode::StaticClass() {
  static const TClassInfo info("TTreeNode", &TPersistent::StaticClass());
  return info;
}

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent) : TPersistent(StaticClass()), owner_(owner), parent_(parent) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const { return owner_ ? &owner_->TreeView() : nullptr; }

TTreeNode* TTreeNode::Parent() const { return parent_ && parent_ != owner_->root_.get() ? parent_ : nullptr; }

TTreeNode* TTreeNode::Item(int index) const {
  TStrings::CheckIndex(index, Count());
  return children_[static_cast<std::size_t>(index)].get();
}

int TTreeNode::Index() const {
  if (!parent_) return -1;
  const auto& siblings = parent_->children_;
  for (std::size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = Parent(); p; p = p->Parent()) ++level;
  return level;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const int i = Index();
  return i >= 0 && i + 1 < parent_->Count() ? parent_->children_[static_cast<std::size_t>(i) + 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const int i = Index();
  return i > 0 ? parent_->children_[static_cast<std::size_t>(i) - 1].get() : nullptr;
}

void TTreeNode::Redraw() {
  TCustomTreeView* view = TreeView();
  if (!item_ || !view || !view->HandleAllocated()) return;
  // Setting the callbacks again makes the control ask for the new text and images.
  TVITEMW it{};
  it.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  it.hItem = item_;
  it.pszText = LPSTR_TEXTCALLBACKW;
  it.iImage = I_IMAGECALLBACK;
  it.iSelectedImage = I_IMAGECALLBACK;
  SendMessageW(view->Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

void TTreeNode::SetText(const std::wstring& s) {
  text_ = s;
  Redraw();
}

void TTreeNode::SetImageIndex(int i) {
  imageIndex_ = i;
  Redraw();
}

void TTreeNode::SetSelectedIndex(int i) {
  selectedIndex_ = i;
  Redraw();
}

bool TTreeNode::Expanded() const {
  TCustomTreeView* view = TreeView();
  if (!item_ || !view || !view->HandleAllocated()) return expanded_;
  return (SendMessageW(view->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TTreeNode::SetExpanded(bool v) {
  TCustomTreeView* view = TreeView();
  const bool was = Expanded();
  expanded_ = v;
  if (!item_ || !view || !view->HandleAllocated()) return;
  view->expandReported_ = false;
  SendMessageW(view->Handle(), TVM_EXPAND, v ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
  // The control reports a node's first expansion asked for by message, and no other: the view
  // reports what the control did not.
  const bool now = Expanded();
  if (now != was && !view->expandReported_) {
    const TTVChangedEvent& event = now ? view->OnExpanded : view->OnCollapsed;
    if (event) event(view, this);
  }
}

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (auto& c : children_) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  SetExpanded(false);
  if (recurse)
    for (auto& c : children_) c->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView() && TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool v) {
  TCustomTreeView* view = TreeView();
  if (!view) return;
  if (v)
    view->SetSelected(this);
  else if (view->Selected() == this)
    view->SetSelected(nullptr);
}

void TTreeNode::MakeVisible() {
  TCustomTreeView* view = TreeView();
  if (item_ && view && view->HandleAllocated()) {
    SendMessageW(view->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item_));
    return;
  }
  for (TTreeNode* p = Parent(); p; p = p->Parent()) p->expanded_ = true;
}

void TTreeNode::Delete() {
  if (owner_) owner_->Delete(this);
}

void TTreeNode::DeleteChildren() {
  while (!children_.empty()) owner_->Delete(children_.back().get());
}

// ----- the node list -----

const TClassInfo& TTreeNodes::StaticClass() {
  static const TClassInfo info("TTreeNodes", &TPersistent::StaticClass());
  return info;
}

TTreeNodes::TTreeNodes(TCustomTreeView& view) : TPersistent(StaticClass()), view_(view), root_(std::make_unique<TTreeNode>(this, nullptr)) {}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::Item(int index) const {
  TStrings::CheckIndex(index, count_);
  int left = index;
  TTreeNode* found = nullptr;
  std::function<bool(const TTreeNode&)> walk = [&](const TTreeNode& n) {
    for (const auto& c : n.children_) {
      if (left-- == 0) {
        found = c.get();
        return true;
      }
      if (walk(*c)) return true;
    }
    return false;
  };
  walk(*root_);
  return found;
}

void TTreeNodes::CheckOwn(const TTreeNode* node) const {
  if (node && node->owner_ != this) throw std::invalid_argument("the node is not one of this tree view's");
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* parent, int index, const std::wstring& text) {
  auto owned = std::make_unique<TTreeNode>(this, parent);
  TTreeNode* node = owned.get();
  node->text_ = text;
  parent->children_.insert(parent->children_.begin() + index, std::move(owned));
  ++count_;
  if (view_.HandleAllocated() && (parent == root_.get() || parent->item_))
    view_.InsertNative(node, index == 0 ? TVI_FIRST : parent->children_[static_cast<std::size_t>(index) - 1]->item_);
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::wstring& text) {
  CheckOwn(sibling);
  TTreeNode* parent = sibling ? sibling->parent_ : root_.get();
  return InsertAt(parent, parent->Count(), text);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::wstring& text) {
  CheckOwn(sibling);
  return InsertAt(sibling ? sibling->parent_ : root_.get(), 0, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::wstring& text) {
  CheckOwn(parent);
  TTreeNode* p = parent ? parent : root_.get();
  return InsertAt(p, p->Count(), text);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::wstring& text) {
  CheckOwn(parent);
  return InsertAt(parent ? parent : root_.get(), 0, text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::wstring& text) {
  CheckOwn(sibling);
  if (!sibling) return Add(nullptr, text);
  return InsertAt(sibling->parent_, sibling->Index(), text);
}

void TTreeNodes::Delete(TTreeNode* node) {
  CheckOwn(node);
  if (!node || node == root_.get()) return;
  if (node->item_ && view_.HandleAllocated()) SendMessageW(view_.Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
  int gone = 0;
  bool selectedGone = false;
  std::function<void(const TTreeNode&)> count = [&](const TTreeNode& n) {
    ++gone;
    if (view_.selected_ == &n) selectedGone = true;
    for (const auto& c : n.children_) count(*c);
  };
  count(*node);
  count_ -= gone;
  if (selectedGone) view_.selected_ = nullptr;
  auto& siblings = node->parent_->children_;
  siblings.erase(std::find_if(siblings.begin(), siblings.end(), [node](const auto& p) { return p.get() == node; }));
}

void TTreeNodes::Clear() {
  if (view_.HandleAllocated()) SendMessageW(view_.Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  root_->children_.clear();
  count_ = 0;
  view_.selected_ = nullptr;
}

void TTreeNodes::BeginUpdate() {
  if (updating_++ == 0 && view_.HandleAllocated()) SendMessageW(view_.Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && view_.HandleAllocated()) {
    SendMessageW(view_.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view_.Handle(), nullptr, TRUE);
  }
}

// ----- the view -----

const TClassInfo& TCustomTreeView::StaticClass() {
  static const TClassInfo info("TCustomTreeView", &TWinControl::StaticClass());
  return info;
}

const TClassInfo& TTreeView::StaticClass() {
  static TClassInfo info("TTreeView", &TCustomTreeView::StaticClass(), ComponentFactory<TTreeView>);
  static const bool once = [] {
    TPropBuilder<TTreeView> b(info);
    b.Enum("BorderStyle", "TBorderStyle", {"bsNone", "bsSingle"}, [](const TTreeView& x) { return x.BorderStyle(); },
           [](TTreeView& x, std::int64_t v) { x.SetBorderStyle(v ? bsSingle : bsNone); })
        .defaultValue = std::int64_t{bsSingle};
    b.Boolean("HideSelection", [](const TTreeView& x) { return x.HideSelection(); },
              [](TTreeView& x, std::int64_t v) { x.SetHideSelection(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Object("Images", TPropKind::Object, TImageList::StaticClass(), [](const TTreeView& x) { return x.Images(); },
             [](TTreeView& x, TObject* o) { x.SetImages(static_cast<TImageList*>(o)); });
    b.Object("Items", TPropKind::Object, TTreeNodes::StaticClass(), [](const TTreeView& x) { return const_cast<TTreeNodes*>(&x.Items()); },
             nullptr);
    b.Boolean("ReadOnly", [](const TTreeView& x) { return x.ReadOnly(); }, [](TTreeView& x, std::int64_t v) { x.SetReadOnly(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("ShowButtons", [](const TTreeView& x) { return x.ShowButtons(); }, [](TTreeView& x, std::int64_t v) { x.SetShowButtons(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("ShowLines", [](const TTreeView& x) { return x.ShowLines(); }, [](TTreeView& x, std::int64_t v) { x.SetShowLines(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("ShowRoot", [](const TTreeView& x) { return x.ShowRoot(); }, [](TTreeView& x, std::int64_t v) { x.SetShowRoot(v != 0); })
        .defaultValue = std::int64_t{1};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomTreeView::TCustomTreeView(TComponent* owner, const TClassInfo& cls)
    : TWinControl(owner, cls), nodes_(std::make_unique<TTreeNodes>(*this)) {
  width_ = 121;
  height_ = 97;
  tabStop_ = true;
  color_ = clWindow;
  controlStyle_ &= ~csSetCaption;
}

TCustomTreeView::~TCustomTreeView() { nodes_.reset(); }

void TCustomTreeView::BeforeDestruction() {
  going_ = true;
  TWinControl::BeforeDestruction();
}

void TCustomTreeView::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = WC_TREEVIEWW;
  p.caption.clear();
  if (showLines_) p.style |= TVS_HASLINES;
  if (showButtons_) p.style |= TVS_HASBUTTONS;
  if (showRoot_) p.style |= TVS_LINESATROOT;
  if (!hideSelection_) p.style |= TVS_SHOWSELALWAYS;
  if (!readOnly_) p.style |= TVS_EDITLABELS;
  if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(handle_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color_)));
  if (images_) SendMessageW(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_->Handle()));
  // The kept nodes go into the window, expanded as they were, and the kept selection with them;
  // putting things back as they were is no change of selection.
  inserting_ = true;
  SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
  for (const auto& node : nodes_->root_->children_) InsertNative(node.get(), TVI_LAST);
  if (selected_ && selected_->item_) SendMessageW(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected_->item_));
  SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
  inserting_ = false;
}

void TCustomTreeView::InsertNative(TTreeNode* node, HTREEITEM after) {
  TVINSERTSTRUCTW ins{};
  ins.hParent = node->parent_ == nodes_->root_.get() ? TVI_ROOT : node->parent_->item_;
  ins.hInsertAfter = after;
  ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  ins.item.pszText = LPSTR_TEXTCALLBACKW;
  ins.item.iImage = I_IMAGECALLBACK;
  ins.item.iSelectedImage = I_IMAGECALLBACK;
  ins.item.lParam = reinterpret_cast<LPARAM>(node);
  node->item_ = reinterpret_cast<HTREEITEM>(SendMessageW(handle_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
  if (!node->item_) throw std::runtime_error("the tree view cannot take more nodes");
  for (const auto& child : node->children_) InsertNative(child.get(), TVI_LAST);
  if (node->expanded_ && !node->children_.empty())
    SendMessageW(handle_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->item_));
}

void TCustomTreeView::ForgetItems() {
  const bool ask = handle_ && !going_;
  if (ask) selected_ = Selected();
  std::function<void(TTreeNode&)> walk = [&](TTreeNode& n) {
    for (auto& c : n.children_) {
      if (ask && c->item_)
        c->expanded_ = (SendMessageW(handle_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(c->item_), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
      c->item_ = nullptr;
      walk(*c);
    }
  };
  walk(*nodes_->root_);
}

void TCustomTreeView::DestroyWnd() {
  ForgetItems();
  TWinControl::DestroyWnd();
}

TTreeNode* TCustomTreeView::Selected() const {
  if (!handle_) return selected_;
  HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageW(handle_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!h) return nullptr;
  TVITEMW it{};
  it.mask = TVIF_HANDLE | TVIF_PARAM;
  it.hItem = h;
  if (!SendMessageW(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
  return NodeOf(it);
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  nodes_->CheckOwn(node);
  selected_ = node;
  if (handle_) SendMessageW(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

void TCustomTreeView::SetImages(TImageList* list) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = list;
  if (list) list->FreeNotification(this);
  if (handle_) SendMessageW(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr));
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) SetImages(nullptr);
}

void TCustomTreeView::SetShowLines(bool v) {
  if (v == showLines_) return;
  showLines_ = v;
  RecreateWnd();
}

void TCustomTreeView::SetShowButtons(bool v) {
  if (v == showButtons_) return;
  showButtons_ = v;
  RecreateWnd();
}

void TCustomTreeView::SetShowRoot(bool v) {
  if (v == showRoot_) return;
  showRoot_ = v;
  RecreateWnd();
}

void TCustomTreeView::SetHideSelection(bool v) {
  if (v == hideSelection_) return;
  hideSelection_ = v;
  RecreateWnd();
}

void TCustomTreeView::SetReadOnly(bool v) {
  if (v == readOnly_) return;
  readOnly_ = v;
  RecreateWnd();
}

void TCustomTreeView::SetBorderStyle(TBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  RecreateWnd();
}

void TCustomTreeView::FullExpand() {
  for (const auto& node : nodes_->root_->children_) node->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (const auto& node : nodes_->root_->children_) node->Collapse(true);
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  if (!handle_) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageW(handle_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!h || !(hit.flags & TVHT_ONITEM)) return nullptr;
  TVITEMW it{};
  it.mask = TVIF_HANDLE | TVIF_PARAM;
  it.hItem = h;
  return SendMessageW(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it)) ? NodeOf(it) : nullptr;
}

TTreeNode* TCustomTreeView::TopItem() const {
  if (!handle_) return nodes_->GetFirstNode();
  HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageW(handle_, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  if (!h) return nullptr;
  TVITEMW it{};
  it.mask = TVIF_HANDLE | TVIF_PARAM;
  it.hItem = h;
  return SendMessageW(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it)) ? NodeOf(it) : nullptr;
}

void TCustomTreeView::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      m.Result = 0;
      switch (hdr->code) {
        case TVN_GETDISPINFOW: {
          TVITEMW& it = reinterpret_cast<NMTVDISPINFOW*>(m.LParam)->item;
          const TTreeNode* node = NodeOf(it);
          if (!node) return;
          if ((it.mask & TVIF_TEXT) && it.pszText && it.cchTextMax > 0) {
            textBuffer_ = node->text_;
            lstrcpynW(it.pszText, textBuffer_.c_str(), it.cchTextMax);
          }
          if (it.mask & TVIF_IMAGE) it.iImage = node->imageIndex_;
          if (it.mask & TVIF_SELECTEDIMAGE) it.iSelectedImage = node->selectedIndex_;
          return;
        }
        case TVN_SELCHANGEDW: {
          auto* nm = reinterpret_cast<NMTREEVIEWW*>(m.LParam);
          TTreeNode* node = nm->itemNew.hItem ? NodeOf(nm->itemNew) : nullptr;
          selected_ = node;
          if (!inserting_ && OnChange) OnChange(this, node);
          return;
        }
        case TVN_ITEMEXPANDEDW: {
          auto* nm = reinterpret_cast<NMTREEVIEWW*>(m.LParam);
          TTreeNode* node = NodeOf(nm->itemNew);
          if (!node) return;
          const bool expanded = (nm->action & TVE_EXPAND) != 0;
          node->expanded_ = expanded;
          expandReported_ = true;
          const TTVChangedEvent& event = expanded ? OnExpanded : OnCollapsed;
          if (!inserting_ && event) event(this, node);
          return;
        }
        case TVN_BEGINLABELEDITW:
          m.Result = readOnly_ ? TRUE : FALSE;
          return;
        case TVN_ENDLABELEDITW: {
          TVITEMW& it = reinterpret_cast<NMTVDISPINFOW*>(m.LParam)->item;
          if (TTreeNode* node = NodeOf(it); node && it.pszText) node->SetText(it.pszText);
          return;
        }
        default:
          return;
      }
    }
    case CM_COLORCHANGED:
      if (handle_) SendMessageW(handle_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color_)));
      break;
    case WM_DESTROY:
      // Destroyed with its parent's window: the node handles go, their state stays.
      ForgetItems();
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
