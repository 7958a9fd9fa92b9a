#pragma once

// The test builds' seam over the library's dialogs (showMessageBox, chooseDirectory): a test
// scripts the answers and reads back what would have been shown, and nothing appears on screen.
//
// In a test of this process:
//
//     Testing::DialogScript script;
//     script.answerBox(MessageBoxAnswer::Yes).answerDirectory(Io::Path("C:/Target"));
//     ... code that asks ...
//     ASSERT_EQ(script.shown().size(), 2);
//     EXPECT_EQ(script.shown()[0].caption, String("Tarvio Installer"));
//
// The dialogs are recorded where they would be shown, that is on the main thread: a test that
// makes them ask from another thread keeps the main thread dispatching messages meanwhile. A
// dialog without a scripted answer left is recorded and answered with Cancel (the chooser with
// an empty path). Only one script may exist at a time.
//
// For a test that runs a program (a testing build), the environment takes the script's place
// while no DialogScript exists: TARVIO_TEST_DIALOGS names a file to which each dialog appends one
// UTF-8 line, its fields separated by tabs:
//     MessageBox <tab> kind <tab> buttons <tab> caption <tab> text
//     DirectoryChooser <tab> <tab> <tab> message <tab> initial folder
// with kind "Error", "Warning", "Information" or "Question" and buttons as the decimal bit set;
// TARVIO_TEST_DIALOG_ANSWERS lists the boxes' answers in order, separated by commas ("Ok",
// "Cancel", "Yes", "No", "Help"); there the chooser always answers Cancel.

#ifdef TARVIO_TEST_SEAMS

#include "tarviolib/core/array.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"
#include "tarviolib/ui/guiutils.h"

#include <cstdint>

namespace Tarvio::Testing {

enum class DialogType { MessageDialog, DirectoryDialog };

struct ShownDialog {
    DialogType type = DialogType::MessageDialog;
    // The box's caption; the chooser's message.
    String caption;
    // The box's message as shown (tabs made blanks); the chooser's initial folder.
    String text;
    MessageBoxKind kind = MessageBoxKind::Error; // boxes only
    uint32_t buttons = 0;                        // boxes only
    bool hasParent = false;
    bool onMainThread = false;
};

class DialogScript : public Noncopyable {
public:
    DialogScript();
    ~DialogScript();

    DialogScript& answerBox(MessageBoxAnswer answer);
    // The chooser answers the folder as the dialog does, in native form; an empty path answers
    // Cancel.
    DialogScript& answerDirectory(const Io::Path& folder);

    // Every dialog asked for since the script was made, in order.
    Array<ShownDialog> shown() const;
};

namespace Detail {

// Called where a dialog would be shown; an empty answer means no script is active and no
// environment script is set, so the real dialog is shown. The chooser's answer is the path text
// that the dialog gives (empty for Cancel).
Optional<MessageBoxAnswer> scriptedMessageBox(const ShownDialog& box);
Optional<String> scriptedDirectory(const ShownDialog& chooser);

} // namespace Detail

} // namespace Tarvio::Testing

#endif
