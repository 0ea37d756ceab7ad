// UTF-8 and UTF-16 conversions for the framework's text.
#pragma once

#include <string>
#include <string_view>

namespace vex::host {

// Invalid sequences become U+FFFD; lone surrogates too.
std::wstring Utf8ToWide(std::string_view s);
std::string WideToUtf8(std::wstring_view s);

}  // namespace vex::host
