#include "host/persistent.h"

namespace vex::host {

const TClassInfo& TPersistent::StaticClass() {
  static const TClassInfo info("TPersistent", &TObject::StaticClass());
  return info;
}

void TPersistent::Assign(const TPersistent& source) {
  throw EConvertError("Cannot assign a " + source.ClassName() + " to a " + ClassName());
}

}  // namespace vex::host
