// Tree views on the common control "SysTreeView32": a tree of nodes with texts and images that
// the framework keeps, shown, expanded and selected through the control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/control_types.h"
#include "host/image_list.h"
#include "host/win_control.h"

namespace vex::host {

class TCustomTreeView;
class TTreeNodes;

class TTreeNode : public TPersistent {
  VEX_CLASS(TTreeNode)
 public:
  explicit TTreeNode(TTreeNodes* owner, TTreeNode* parent);
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& s);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  // The image shown while the node is selected.
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int i);
  void* Data = nullptr;

  // The parent node; null for a node at the top of the tree.
  TTreeNode* Parent() const;
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const;
  bool HasChildren() const { return !children_.empty(); }
  // The place among its siblings, and the depth (0 at the top).
  int Index() const;
  int Level() const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;

  // Children show. Setting it on a node without children changes nothing the control shows.
  bool Expanded() const;
  void SetExpanded(bool v);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool v);
  // Scrolls the control and expands the parents until the node shows.
  void MakeVisible();
  // The control's item of the node while the control has a window.
  HTREEITEM ItemId() const { return item_; }

  // Removes the node with its children from the tree (and frees it).
  void Delete();
  void DeleteChildren();

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void Redraw();
  TTreeNodes* owner_;
  TTreeNode* parent_;  // the owner's hidden root for top nodes
  std::vector<std::unique_ptr<TTreeNode>> children_;
  HTREEITEM item_ = nullptr;
  std::wstring text_;
  int imageIndex_ = -1, selectedIndex_ = -1;
  bool expanded_ = false;
};

// The nodes of a tree view. Nodes are made through it and freed by it (or by Delete).
class TTreeNodes : public TPersistent {
  VEX_CLASS(TTreeNodes)
 public:
  explicit TTreeNodes(TCustomTreeView& view);
  ~TTreeNodes() override;

  TCustomTreeView& TreeView() const { return view_; }
  // Every node, at any depth.
  int Count() const { return count_; }
  // The node at `index` counting every node from the top, each before its children.
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const { return root_->GetFirstChild(); }
  int TopCount() const { return root_->Count(); }
  TTreeNode* TopItem(int index) const { return root_->Item(index); }

  // A node after the last sibling of `sibling` (at the top when null).
  TTreeNode* Add(TTreeNode* sibling, const std::wstring& text);
  // A node before the first sibling of `sibling`.
  TTreeNode* AddFirst(TTreeNode* sibling, const std::wstring& text);
  // A node after the last child of `parent` (at the top when null).
  TTreeNode* AddChild(TTreeNode* parent, const std::wstring& text);
  TTreeNode* AddChildFirst(TTreeNode* parent, const std::wstring& text);
  // A node just before `sibling`.
  TTreeNode* Insert(TTreeNode* sibling, const std::wstring& text);
  void Delete(TTreeNode* node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InsertAt(TTreeNode* parent, int index, const std::wstring& text);
  void CheckOwn(const TTreeNode* node) const;
  TCustomTreeView& view_;
  std::unique_ptr<TTreeNode> root_;
  int count_ = 0;
  int updating_ = 0;
};

using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;

class TCustomTreeView : public TWinControl {
  VEX_CLASS(TCustomTreeView)
 public:
  explicit TCustomTreeView(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomTreeView() override;

  TTreeNodes& Items() { return *nodes_; }
  const TTreeNodes& Items() const { return *nodes_; }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* list);
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool v);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool v);
  // Lines and buttons also at the top level.
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  void FullExpand();
  void FullCollapse();
  // The node at a client point, or null.
  TTreeNode* GetNodeAt(int x, int y) const;
  // The first node shown.
  TTreeNode* TopItem() const;

  // The selection moved (the node is the new one, null for none).
  TTVChangedEvent OnChange;
  // A node was expanded or collapsed, by the user or in code.
  TTVChangedEvent OnExpanded, OnCollapsed;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void BeforeDestruction() override;
  void WndProc(TMessage& m) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  void InsertNative(TTreeNode* node, HTREEITEM after);
  // The window is going: the node handles die with it; selection and expansion are kept.
  void ForgetItems();
  static TTreeNode* NodeOf(const TVITEMW& item) { return reinterpret_cast<TTreeNode*>(item.lParam); }

  std::unique_ptr<TTreeNodes> nodes_;
  TImageList* images_ = nullptr;
  TTreeNode* selected_ = nullptr;  // kept while there is no window
  bool showLines_ = true, showButtons_ = true, showRoot_ = true, hideSelection_ = true, readOnly_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  bool going_ = false;
  bool inserting_ = false;
  bool expandReported_ = false;  // the control reported an expansion while a node asked for one
  std::wstring textBuffer_;
};

class TTreeView : public TCustomTreeView {
  VEX_CLASS(TTreeView)
 public:
  explicit TTreeView(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomTreeView(owner, cls) {}
};

}  // namespace vex::host
