// Collections own a list of items of one class; items know their collection and index.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "host/persistent.h"

namespace vex::host {

class TCollection;

class TCollectionItem : public TPersistent {
  VEX_CLASS(TCollectionItem)
 public:
  explicit TCollectionItem(TCollection* collection, const TClassInfo& cls = StaticClass())
      : TPersistent(cls), collection_(collection) {}
  TCollection* Collection() const { return collection_; }
  int Index() const;
  void SetIndex(int index);

 private:
  friend class TCollection;
  TCollection* collection_;
};

class TCollection : public TPersistent {
  VEX_CLASS(TCollection)
 public:
  using TItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection*)>;

  // `owner` is what the designer names the collection after; it is not owned.
  TCollection(TItemFactory factory, TPersistent* owner = nullptr, const TClassInfo& cls = StaticClass());
  ~TCollection() override;

  TPersistent* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }
  TCollectionItem* Add();
  void Delete(int index);
  void Clear();
  // Items are created anew and each is assigned from the source's item at the same index.
  void Assign(const TPersistent& source) override;

  // Called after any item is added, removed or moved (item is null for changes to the whole list).
  virtual void Update(TCollectionItem* item) {}

 private:
  friend class TCollectionItem;
  TItemFactory factory_;
  TPersistent* owner_;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
};

}  // namespace vex::host
