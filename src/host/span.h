// A view of a contiguous table (an array or a vector) with its size, for functions that take
// tables: the callee is given the rows themselves, not a pointer and a highest index.
#pragma once

#include <cstddef>
#include <utility>

namespace vex::host {

template <class T>
class TSpan {
 public:
  constexpr TSpan() = default;
  constexpr TSpan(T* data, std::size_t size) : data_(data), size_(size) {}
  template <std::size_t N>
  constexpr TSpan(T (&rows)[N]) : data_(rows), size_(N) {}
  template <class C, class = decltype(std::declval<C&>().data()), class = decltype(std::declval<C&>().size())>
  constexpr TSpan(C& c) : data_(c.data()), size_(c.size()) {}

  constexpr T* begin() const { return data_; }
  constexpr T* end() const { return data_ + size_; }
  constexpr std::size_t size() const { return size_; }
  constexpr bool empty() const { return size_ == 0; }
  constexpr T& operator[](std::size_t i) const { return data_[i]; }

 private:
  T* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace vex::host
