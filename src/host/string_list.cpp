#include "host/string_list.h"

#include <stdexcept>

namespace vex::host {

const TClassInfo& TStrings::StaticClass() {
  static const TClassInfo info("TStrings", &TPersistent::StaticClass());
  return info;
}

const TClassInfo& TStringList::StaticClass() {
  static const TClassInfo info("TStringList", &TStrings::StaticClass());
  return info;
}

// ----- TStrings -----

void TStrings::CheckIndex(int index, int count) {
  if (index < 0 || index >= count) throw std::out_of_range("list index out of bounds (" + std::to_string(index) + ")");
}

void TStrings::Put(int index, const std::string& s) {
  CheckIndex(index, Count());
  BeginUpdate();
  Delete(index);
  Insert(index, s);
  EndUpdate();
}

int TStrings::Add(const std::string& s) {
  const int at = Count();
  Insert(at, s);
  return at;
}

void TStrings::Clear() {
  BeginUpdate();
  for (int i = Count() - 1; i >= 0; --i) Delete(i);
  EndUpdate();
}

void TStrings::SetItems(std::vector<std::string> items) {
  BeginUpdate();
  Clear();
  for (auto& s : items) Add(s);
  EndUpdate();
}

std::vector<std::string> TStrings::ToVector() const {
  std::vector<std::string> out;
  const int n = Count();
  out.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) out.push_back(Get(i));
  return out;
}

int TStrings::IndexOf(std::string_view s) const {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (SameText(Get(i), s)) return i;
  return -1;
}

std::string TStrings::Text() const {
  std::string t;
  const int n = Count();
  for (int i = 0; i < n; ++i) t += Get(i) + "\r\n";
  return t;
}

std::vector<std::string> TStrings::SplitLines(std::string_view text) {
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
  return lines;
}

void TStrings::SetText(std::string_view text) { SetItems(SplitLines(text)); }

void TStrings::BeginUpdate() {
  if (updating_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent& source) {
  if (!source.Is<TStrings>()) return TPersistent::Assign(source);
  if (&source == this) return;
  SetItems(static_cast<const TStrings&>(source).ToVector());
}

// ----- TStringList -----

void TStringList::Changed() {
  if (Updating()) {
    pending_ = true;
    return;
  }
  if (OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (!updating && pending_) {
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
  if (index < 0 || index > Count()) throw std::out_of_range("list index out of bounds (" + std::to_string(index) + ")");
  items_.insert(items_.begin() + index, s);
  Changed();
}

void TStringList::Put(int index, const std::string& s) {
  CheckIndex(index, Count());
  items_[static_cast<std::size_t>(index)] = s;
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TStringList::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  Changed();
}

}  // namespace vex::host
