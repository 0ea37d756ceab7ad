// Frames: containers whose controls come from a stored form of their own (the form stream's
// text), embedded in any form or container. The frame owns the controls it reads, so their names
// only need to be unique within the frame: one frame class can be embedded several times.
#pragma once

#include <string>
#include <string_view>

#include "host/win_control.h"

namespace vex::host {

class TCustomFrame : public TCustomControl {
  VEX_CLASS(TCustomFrame)
 public:
  explicit TCustomFrame(TComponent* owner, const TClassInfo& cls = StaticClass());

  // Reads a stored form into the frame: its properties and its controls, created owned by the
  // frame and placed on it. The stream's root must be of the frame's class or one it inherits
  // from; the root's name in the stream is not taken (the frame is named where it is embedded).
  void ReadStoredForm(std::string_view text);
  // Reads the stored form registered for the frame's class (or the nearest class it inherits
  // from that has one); nothing when there is none or it was read already.
  void ReadRegisteredForm();
  bool FormRead() const { return formRead_; }

 private:
  bool formRead_ = false;
};

class TFrame : public TCustomFrame {
  VEX_CLASS(TFrame)
 public:
  explicit TFrame(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomFrame(owner, cls) {}
};

// The stored form of a frame class: a frame of that class reads it when it is created by
// FrameFactory (as the form reader does for `object Frame1: TMyFrame`).
void RegisterFrameForm(const TClassInfo& frameClass, std::string text);

// A class factory for frame classes: creates the frame and reads its registered stored form.
template <class T>
TComponent* FrameFactory(TComponent* owner) {
  auto* frame = new T(owner);
  try {
    frame->ReadRegisteredForm();
  } catch (...) {
    TComponent::Free(frame);
    throw;
  }
  return frame;
}

}  // namespace vex::host
