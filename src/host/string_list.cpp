#include "host/string_list.h"

#include <stdexcept>

namespace vex::host {

const TClassInfo& TStringList::StaticClass() {
  static const TClassInfo info("TStringList", &TPersistent::StaticClass());
  return info;
}

void TStringList::Changed() {
  if (updating_) {
    pending_ = true;
    return;
  }
  if (OnChange) OnChange(this);
}

void TStringList::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && pending_) {
    pending_ = false;
    Changed();
  }
}

int TStringList::Add(const std::string& s) {
  items_.push_back(s);
  Changed();
  return Count() - 1;
}

void TStringList::Insert(int index, const std::string& s) {
  if (index < 0 || index > Count()) throw std::out_of_range("list index out of bounds");
  items_.insert(items_.begin() + index, s);
  Changed();
}

void TStringList::Put(int index, const std::string& s) {
  items_.at(static_cast<std::size_t>(index)) = s;
  Changed();
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("list index out of bounds");
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStringList::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(items_[static_cast<std::size_t>(i)], s)) return i;
  return -1;
}

std::string TStringList::Text() const {
  std::string t;
  for (const auto& s : items_) t += s + "\r\n";
  return t;
}

void TStringList::SetText(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = i;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
    lines.emplace_back(text.substr(i, j - i));
    if (j < text.size() && text[j] == '\r') {
      ++j;
      if (j < text.size() && text[j] == '\n') ++j;
    } else if (j < text.size()) {
      ++j;
    }
    i = j;
  }
  SetItems(std::move(lines));
}

void TStringList::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  Changed();
}

void TStringList::Assign(const TPersistent& source) {
  if (!source.Is<TStringList>()) return TPersistent::Assign(source);
  SetItems(static_cast<const TStringList&>(source).items_);
}

}  // namespace vex::host
