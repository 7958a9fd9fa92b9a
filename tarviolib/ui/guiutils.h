#pragma once

#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

#include <cstdint>

struct HWND__;

namespace Tarvio {

// A native window handle (HWND) that the toolkit may not own.
using NativeWindow = HWND__*;

enum class MessageBoxKind : int32_t { Error = 0, Warning = 1, Information = 2, Question = 3 };

// Bits: combine with |; Cancel is then the default button.
namespace MessageBoxButtons {
constexpr uint32_t YesNo = 1;
constexpr uint32_t Ok = 2;
constexpr uint32_t Cancel = 4;
} // namespace MessageBoxButtons

enum class MessageBoxAnswer : int32_t { Ok = 0, Cancel = 1, Yes = 2, No = 3, Help = 4 };

// A modal box, centred and above other windows, every tab of the message shown as four blanks.
// With a parent, the parent and the top-level windows it owns are disabled while it is up. Asked
// for on another thread, it is shown on the main thread while the caller waits (so the main
// thread must be dispatching messages). A kind outside the enumeration throws the STOP exception
// before anything is shown.
MessageBoxAnswer showMessageBox(NativeWindow parent, const String& caption, const String& message,
                                MessageBoxKind kind, uint32_t buttons);

// A modal folder chooser starting at initial; the chosen folder, or an empty path unless ended
// with OK. Shown on the main thread like showMessageBox.
Io::Path chooseDirectory(NativeWindow parent, const String& message, const Io::Path& initial);

// Opens a document or folder with the shell's "open" verb; false when the shell refused.
bool openInShell(const Io::Path& path);

// Opens a web address in the default browser.
bool openUrl(const String& address);

} // namespace Tarvio
