#include "tarviolib/ui/dialogscript.h"

#ifdef TARVIO_TEST_SEAMS

#include "tarviolib/core/mutex.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/io/filestream.h"

#include <windows.h>

#include <deque>

namespace Tarvio::Testing {

namespace {

struct ScriptState {
    Mutex mutex;
    bool active = false;
    std::deque<MessageBoxAnswer> boxAnswers;
    std::deque<String> directoryAnswers;
    Array<ShownDialog> shown;
    // How many answers of TARVIO_TEST_DIALOG_ANSWERS were used.
    int32_t environmentAnswersUsed = 0;
};

ScriptState& script() {
    static ScriptState state;
    return state;
}

const wchar_t* const AnswerNames[] = {L"Ok", L"Cancel", L"Yes", L"No", L"Help"};
const wchar_t* const KindNames[] = {L"Error", L"Warning", L"Information", L"Question"};

Optional<String> environmentVariable(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    if (length == 0 || length >= 1024) {
        return Optional<String>();
    }
    return String(buffer);
}

void appendToLog(const String& path, const ShownDialog& dialog) {
    String line(dialog.type == DialogType::MessageDialog ? L"MessageBox\t" : L"DirectoryChooser\t");
    if (dialog.type == DialogType::MessageDialog) {
        line += KindNames[static_cast<int32_t>(dialog.kind)];
        line += L'\t';
        line += static_cast<int32_t>(dialog.buttons);
    } else {
        line += L'\t';
    }
    line += L'\t';
    line += dialog.caption;
    line += L'\t';
    line += dialog.text;
    line += L'\n';
    const NarrowString bytes = line.toUtf8();
    Io::FileOutputStream file(Io::Path(path), FileWriteMode::Append);
    file.write(bytes.text(), bytes.length());
    file.close();
}

// The next answer of TARVIO_TEST_DIALOG_ANSWERS; Cancel when none is left.
MessageBoxAnswer nextEnvironmentAnswer() {
    const Array<String> answers = environmentVariable(L"TARVIO_TEST_DIALOG_ANSWERS").valueOr(String()).split(L",", true);
    if (script().environmentAnswersUsed >= answers.size()) {
        return MessageBoxAnswer::Cancel;
    }
    const String& answer = answers[script().environmentAnswersUsed++];
    for (int32_t i = 0; i < 5; ++i) {
        if (answer == String(AnswerNames[i])) {
            return static_cast<MessageBoxAnswer>(i);
        }
    }
    throwStop("tarviolib/ui/dialogscript", 97);
}

// Records the dialog; false when neither a script nor the environment takes it.
bool record(const ShownDialog& dialog) {
    if (script().active) {
        script().shown.append(dialog);
        return true;
    }
    const Optional<String> log = environmentVariable(L"TARVIO_TEST_DIALOGS");
    if (!log) {
        return false;
    }
    appendToLog(*log, dialog);
    return true;
}

} // namespace

DialogScript::DialogScript() {
    ScopedLock lock(script().mutex);
    if (script().active) {
        throwStop("tarviolib/ui/dialogscript", 117);
    }
    script().active = true;
}

DialogScript::~DialogScript() {
    ScopedLock lock(script().mutex);
    script().active = false;
    script().boxAnswers.clear();
    script().directoryAnswers.clear();
    script().shown.clear();
}

DialogScript& DialogScript::answerBox(MessageBoxAnswer answer) {
    ScopedLock lock(script().mutex);
    script().boxAnswers.push_back(answer);
    return *this;
}

DialogScript& DialogScript::answerDirectory(const Io::Path& folder) {
    ScopedLock lock(script().mutex);
    script().directoryAnswers.push_back(folder.toNative());
    return *this;
}

Array<ShownDialog> DialogScript::shown() const {
    ScopedLock lock(script().mutex);
    return script().shown;
}

namespace Detail {

Optional<MessageBoxAnswer> scriptedMessageBox(const ShownDialog& box) {
    ScopedLock lock(script().mutex);
    if (!record(box)) {
        return Optional<MessageBoxAnswer>();
    }
    if (!script().active) {
        return nextEnvironmentAnswer();
    }
    if (script().boxAnswers.empty()) {
        return MessageBoxAnswer::Cancel;
    }
    const MessageBoxAnswer answer = script().boxAnswers.front();
    script().boxAnswers.pop_front();
    return answer;
}

Optional<String> scriptedDirectory(const ShownDialog& chooser) {
    ScopedLock lock(script().mutex);
    if (!record(chooser)) {
        return Optional<String>();
    }
    if (!script().active || script().directoryAnswers.empty()) {
        return String();
    }
    const String answer = script().directoryAnswers.front();
    script().directoryAnswers.pop_front();
    return answer;
}

} // namespace Detail

} // namespace Tarvio::Testing

#endif
