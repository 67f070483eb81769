// The answerer that stands in for the user at every message box while a test has set one.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/windef.h"

namespace platform_user {

using MessageBoxAnswerer = std::function<int(const std::u16string& text, UINT type)>;

/* Sets the answerer; an empty function removes it. */
void SetAnswerer(MessageBoxAnswerer answerer);
/* The answerer's answer to the box, called on the calling thread; nothing when none is set. */
std::optional<int> AnswerMessageBox(const std::u16string& text, UINT type);

}  // namespace platform_user
