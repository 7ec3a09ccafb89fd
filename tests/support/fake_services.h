// In-memory stand-ins for the environment, the message boxes and the end of
// the tool, for testing the core without Windows.
#pragma once

#include <deque>
#include <map>
#include <memory>
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

// Records each start; the program's exit code comes from the script.
class RecordingLauncher final : public ProgramLauncher {
public:
    struct Handle final : ProgramHandle {
        std::uint32_t code;
        explicit Handle(std::uint32_t exitCode) : code(exitCode) {}
        std::int64_t processId() const override { return 1; }
        std::uint32_t exitCode() const override { return code; }
    };
    std::vector<std::wstring> started;
    std::optional<std::uint32_t> exitCode = 1; // nothing: the start fails

    StartedProgram startProgram(const std::wstring& program, const std::wstring&,
                                const std::wstring&, StartOptions) override {
        started.push_back(program);
        return exitCode ? StartedProgram{true, std::make_unique<Handle>(*exitCode)}
                        : StartedProgram{};
    }
};

// Shortcut path -> argument text; a path not listed cannot be read.
class FakeShortcuts final : public ShortcutReader {
public:
    std::map<std::wstring, std::wstring> arguments;
    std::optional<std::wstring> readShortcutArguments(const std::wstring& path) override {
        const auto found = arguments.find(path);
        return found == arguments.end() ? std::nullopt : std::optional(found->second);
    }
};

// Everything a core test needs, wired together.
struct FakeTool {
    FakeFileSystem files;
    FakeEnvironment environment;
    ScriptedMessages messages;
    RecordingSounds sounds;
    RecordingEnd end;
    RecordingLauncher programs;
    FakeShortcuts shortcuts;
    ToolServices services{files, files, environment, messages, sounds, end, programs, shortcuts};
};

} // namespace tarvex::testing
