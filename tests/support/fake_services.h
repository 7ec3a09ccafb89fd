// In-memory stand-ins for the environment, the message boxes and the end of
// the tool, for testing the core without Windows.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/tool_services.h"
#include "fake_file_system.h"

namespace tarvex::testing {

class FakeEnvironment final : public Environment {
public:
    std::map<std::wstring, std::wstring> variables;
    std::wstring program = L"C:\\Tools\\Tarvex\\Tarvex.exe";

    std::wstring environmentValue(const std::wstring& name) override {
        const auto found = variables.find(name);
        return found == variables.end() ? L"" : found->second;
    }
    std::wstring programPath() override { return program; }
};

struct ShownMessage {
    std::wstring title;
    std::wstring text;
    unsigned flags;
};

// Answers boxes from a script; an unscripted box is answered with OK (1).
class ScriptedMessages final : public MessagePresenter {
public:
    std::deque<int> answers;
    std::vector<ShownMessage> shown;

    int showMessage(const std::wstring& title, const std::wstring& text, unsigned flags) override {
        shown.push_back({title, text, flags});
        if (answers.empty()) {
            return 1;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class RecordingEnd final : public ToolEnd {
public:
    int calls = 0;
    void endTool() override { ++calls; }
};

class RecordingSounds final : public SoundPlayer {
public:
    std::vector<Sound> played;
    void play(Sound sound) override { played.push_back(sound); }
};

// Nothing can be started and no shortcut read.
class NoPrograms final : public ProgramLauncher {
public:
    StartedProgram startProgram(const std::wstring&, const std::wstring&, const std::wstring&,
                                StartOptions) override {
        return {};
    }
};

class NoShortcuts final : public ShortcutReader {
public:
    std::optional<std::wstring> readShortcutArguments(const std::wstring&) override { return {}; }
};

// Everything a core test needs, wired together.
struct FakeTool {
    FakeFileSystem files;
    FakeEnvironment environment;
    ScriptedMessages messages;
    RecordingSounds sounds;
    RecordingEnd end;
    NoPrograms programs;
    NoShortcuts shortcuts;
    ToolServices services{files, files, environment, messages, sounds, end, programs, shortcuts};
};

} // namespace tarvex::testing
