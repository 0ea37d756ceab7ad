#include "host/frames.h"

#include <map>

#include "host/form_stream.h"
#include "host/prop_builder.h"

namespace vex::host {

namespace {

std::map<const TClassInfo*, std::string>& FrameForms() {
  static std::map<const TClassInfo*, std::string> forms;
  return forms;
}

// The stream with its root's name taken out ("object Name: TClass" becomes "object TClass").
std::string WithoutRootName(std::string_view text) {
  std::string s(text);
  const std::size_t lineEnd = s.find_first_of("\r\n");
  const std::size_t colon = s.find(':');
  if (colon == std::string::npos || (lineEnd != std::string::npos && colon > lineEnd)) return s;
  std::size_t word = s.find_first_not_of(" \t");
  if (word == std::string::npos) return s;
  const std::size_t nameStart = s.find_first_of(" \t", word);
  if (nameStart == std::string::npos || nameStart > colon) return s;
  s.erase(nameStart, colon + 1 - nameStart);
  return s;
}

}  // namespace

const TClassInfo& TCustomFrame::StaticClass() {
  static const TClassInfo info("TCustomFrame", &TCustomControl::StaticClass());
  return info;
}

const TClassInfo& TFrame::StaticClass() {
  static TClassInfo info("TFrame", &TCustomFrame::StaticClass(), FrameFactory<TFrame>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomFrame::TCustomFrame(TComponent* owner, const TClassInfo& cls) : TCustomControl(owner, cls) {
  width_ = 320;
  height_ = 240;
  controlStyle_ |= csAcceptsControls;
  controlStyle_ &= ~csSetCaption;
  // Embedded, a frame looks like part of the form it stands on.
  parentColor_ = true;
}

void TCustomFrame::ReadStoredForm(std::string_view text) {
  // The frame's name and place are the embedding form's: they stay what they were.
  const std::string name = Name();
  ReadComponentText(WithoutRootName(text), *this);
  formRead_ = true;
  if (!name.empty() && Name() != name) SetName(name);
}

void TCustomFrame::ReadRegisteredForm() {
  if (formRead_) return;
  for (const TClassInfo* c = &ClassInfo(); c; c = c->Parent()) {
    auto it = FrameForms().find(c);
    if (it != FrameForms().end()) {
      ReadStoredForm(it->second);
      return;
    }
  }
}

void RegisterFrameForm(const TClassInfo& frameClass, std::string text) { FrameForms()[&frameClass] = std::move(text); }

}  // namespace vex::host
