#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace jet {

// Strict UTF-8 to UTF-16: overlong forms, surrogate code points and truncated sequences are errors.
// On error returns nullopt and, when asked, the byte offset of the first bad byte.
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8, std::size_t* errorOffset = nullptr);

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD: only display and messages use this.
std::string Utf16ToUtf8(std::u16string_view utf16);

} // namespace jet
