#pragma once
// Stand-ins for the platform's message box and clipboard hooks. Each installs
// itself for its lifetime and puts the previous hook back when it ends.

#include <string>
#include <vector>

#include "Dialogs.h"
#include "MsgBox.h"

// Records the text of every message box and answers each with Answer.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int Answer = IDOK) {
        FPrevious = SetMessageBoxHook([this, Answer](const std::string& text, const std::string&, unsigned) {
            Texts.push_back(text);
            return Answer;
        });
    }
    ~MessageBoxRecorder() { SetMessageBoxHook(FPrevious); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<std::string> Texts;

private:
    MessageBoxHook FPrevious;
};

// A clipboard holding one text; empty means nothing to paste.
class FakeClipboard {
public:
    FakeClipboard() {
        FPrevious = SetClipboardHook(TClipboardHook{[this] { return Text; }, [this](const std::string& s) { Text = s; },
                                                    [this] { return !Text.empty(); }});
    }
    ~FakeClipboard() { SetClipboardHook(FPrevious); }
    FakeClipboard(const FakeClipboard&) = delete;
    FakeClipboard& operator=(const FakeClipboard&) = delete;

    std::string Text;

private:
    TClipboardHook FPrevious;
};
