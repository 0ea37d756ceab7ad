// The scripted tour of ./run demo: opens each window in turn, waits until it is painted, saves a
// PNG of it into a folder and closes it again.
#pragma once

#include <string>

namespace vex::gallery {

class TGalleryForm;

// Returns the number of screenshots that could not be taken.
int RunTour(TGalleryForm& form, const std::wstring& folder);

}  // namespace vex::gallery
