#include "host/collection.h"

#include <algorithm>
#include <stdexcept>

namespace vex::host {

const TClassInfo& TCollectionItem::StaticClass() {
  static const TClassInfo info("TCollectionItem", &TPersistent::StaticClass());
  return info;
}

const TClassInfo& TCollection::StaticClass() {
  static const TClassInfo info("TCollection", &TPersistent::StaticClass());
  return info;
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  const auto& items = collection_->items_;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].get() == this) return static_cast<int>(i);
  return -1;
}

void TCollectionItem::SetIndex(int index) {
  const int cur = Index();
  if (cur < 0 || index == cur) return;
  auto& items = collection_->items_;
  if (index < 0 || index >= static_cast<int>(items.size())) throw std::out_of_range("collection index out of bounds");
  auto item = std::move(items[static_cast<std::size_t>(cur)]);
  items.erase(items.begin() + cur);
  items.insert(items.begin() + index, std::move(item));
  collection_->Update(nullptr);
}

TCollection::TCollection(TItemFactory factory, TPersistent* owner, const TClassInfo& cls)
    : TPersistent(cls), factory_(std::move(factory)), owner_(owner) {}

TCollection::~TCollection() = default;

TCollectionItem* TCollection::Add() {
  items_.push_back(factory_(this));
  TCollectionItem* item = items_.back().get();
  item->collection_ = this;
  Update(item);
  return item;
}

void TCollection::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("collection index out of bounds");
  items_.erase(items_.begin() + index);
  Update(nullptr);
}

void TCollection::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Update(nullptr);
}

void TCollection::Assign(const TPersistent& source) {
  if (!source.Is<TCollection>()) return TPersistent::Assign(source);
  const auto& src = static_cast<const TCollection&>(source);
  if (&src == this) return;
  items_.clear();
  for (const auto& item : src.items_) Add()->Assign(*item);
  Update(nullptr);
}

}  // namespace vex::host
