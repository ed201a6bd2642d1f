#pragma once
// Scripted answers in place of the modal windows, a system that performs no
// real restart, and a progress log that records its lines.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fixtures/RecordingLog.h"
#include "system/SystemActions.h"
#include "shared/UserDialogs.h"

using fixtures::RecordingLog;

struct AskedMessage {
    std::wstring text;
    ui::TMsgDlgType type;
    ui::TMsgDlgButtons buttons;
};

class ScriptedDialogs : public shared::IUserDialogs {
  public:
    ui::TModalResult MessageDlg(const std::wstring& text, ui::TMsgDlgType type,
                                ui::TMsgDlgButtons buttons) override {
        asked.push_back({text, type, buttons});
        for (const auto& [start, answer] : answers) {
            if (text.rfind(start, 0) == 0) {
                return answer;
            }
        }
        switch (buttons) {
        case ui::TMsgDlgButtons::mbOK:
            return ui::TModalResult::mrOk;
        case ui::TMsgDlgButtons::mbRetryCancel:
            return ui::TModalResult::mrCancel;
        case ui::TMsgDlgButtons::mbYesNo:
            break;
        }
        return ui::TModalResult::mrNo;
    }
    std::optional<std::wstring> BrowseForFolder(const std::wstring& instruction) override {
        browseInstructions.push_back(instruction);
        return folder;
    }
    bool ShowTimedMessage(const std::wstring& text, shared::TMessageType kind,
                          const std::wstring& caption, int seconds) override {
        timed.push_back({text, kind, caption, seconds});
        return true;
    }

    // Answers a question whose text starts with `start`.
    void Answer(const std::wstring& start, ui::TModalResult answer) {
        answers.emplace_back(start, answer);
    }

    struct TimedMessage {
        std::wstring text;
        shared::TMessageType kind;
        std::wstring caption;
        int seconds;
    };

    std::vector<std::pair<std::wstring, ui::TModalResult>> answers;
    std::vector<AskedMessage> asked;
    std::optional<std::wstring> folder; // the folder browser's answer
    std::vector<std::wstring> browseInstructions;
    std::vector<TimedMessage> timed;
};

class FakeSystem : public sys::ISystemActions {
  public:
    int ScreenLogPixelsX() override { return logPixels; }
    bool SetLargeFonts() override {
        ++largeFontRequests;
        return largeFontsChange;
    }
    bool ShutdownWindows(UINT flags) override {
        shutdownFlags.push_back(flags);
        return true;
    }

    int logPixels = 120;
    int largeFontRequests = 0;
    bool largeFontsChange = true; // what the display set-up routine answers
    std::vector<UINT> shutdownFlags;
};
