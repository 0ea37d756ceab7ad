// Objects that can be assigned and streamed, and the filer interface of defined properties.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/object.h"

namespace vex::host {

// What DefineProperties talks to: the reader or writer of a stream. A defined property is stored
// after the published ones, by name, either as text or as binary data (hexadecimal in the stream).
class TFiler {
 public:
  virtual ~TFiler() = default;
  virtual void DefineProperty(const std::string& name, const std::function<void(const std::string&)>& read,
                              const std::function<std::string()>& write, bool hasData) = 0;
  virtual void DefineBinaryProperty(const std::string& name,
                                    const std::function<void(const std::vector<std::uint8_t>&)>& read,
                                    const std::function<std::vector<std::uint8_t>()>& write, bool hasData) = 0;
};

class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TPersistent : public TObject {
  VEX_CLASS(TPersistent)
 public:
  explicit TPersistent(const TClassInfo& cls = StaticClass()) : TObject(cls) {}
  // Copies `source` into this object; classes that support it override. The base raises.
  virtual void Assign(const TPersistent& source);
  // Declares properties stored besides the published ones.
  virtual void DefineProperties(TFiler& filer) {}
};

}  // namespace vex::host
