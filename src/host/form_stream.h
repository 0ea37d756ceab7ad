// The text form of a component tree: its published properties in order, nested objects,
// collections, string lists and defined properties (binary ones in hexadecimal).
//
//   object Form1: TForm
//     Caption = 'Hello'#13#10'world'
//     BorderIcons = [biSystemMenu, biMinimize]
//     Font.Color = clRed
//     Menu = MainMenu1
//     Lines = (
//       'first'
//       'second')
//     Items = <
//       item
//         SkinFile = 'a.vsk'
//       end>
//     SkinData = {
//       534B0304...}
//     object Button1: TButton
//       OnClick = Button1Click
//     end
//   end
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "host/component.h"

namespace vex::host {

// A stream that cannot be read; the message starts with "line N:".
class EReadError : public std::runtime_error {
 public:
  EReadError(int line, const std::string& message);
  int Line() const { return line_; }

 private:
  int line_;
};

// Writes a component with its nested children (GetChildren) as text.
std::string WriteComponentText(const TComponent& root);

// Reads a stream into an existing root (its class must be the stream's class or inherit from it):
// nested objects are created owned by the root, properties are set in the order they stand and
// defined properties run where they stand; once everything is read, references are resolved and
// every component read gets Loaded, the root first. On failure the components the stream created
// are destroyed again and EReadError says where.
void ReadComponentText(std::string_view text, TComponent& root);

// Reads a stream whose root is created from its class name, owned by `owner`. Returns the root;
// on failure nothing is left behind.
TComponent* ReadComponentText(std::string_view text, TComponent* owner);

// Classes must be registered (RegisterFrameworkClass, or by using their StaticClass) to be created by name.

}  // namespace vex::host

namespace vex::host {
// The same from a file (UTF-8 text) or, on Windows, from an RCDATA resource of the executable.
void ReadComponentFile(const std::string& utf8Path, TComponent& root);
void WriteComponentFile(const std::string& utf8Path, const TComponent& root);
std::string ReadFormResourceText(const wchar_t* resourceName);  // Windows only; throws when absent
}  // namespace vex::host
