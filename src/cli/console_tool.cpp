#include "cli/console_tool.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "core/active_library.h"
#include "core/library_drop.h"
#include "core/library_store.h"
#include "core/library_switch.h"
#include "core/memory_view.h"
#include "core/record_fields.h"
#include "core/record_from_files.h"
#include "core/selection_record.h"
#include "core/settings.h"
#include "core/ucrt_build.h"
#include "core/vs_version_list.h"
#include "formats/path_parts.h"

namespace tarvex {
namespace {

struct Arguments {
    std::wstring command;
    std::map<std::wstring, std::wstring> options; // "--vs" -> "17"
    std::vector<std::wstring> operands;
};

const std::set<std::wstring> kOptions{L"--compiler", L"--vs", L"--png-jpeg", L"--vcvarsall",
                                      L"--sdk"};

// False, with the problem, for an option without its value or an unknown one.
bool parseArguments(const std::vector<std::wstring>& arguments, Arguments& parsed,
                    std::wstring& problem) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& word = arguments[i];
        if (kOptions.contains(word)) {
            if (i + 1 == arguments.size()) {
                problem = word + L" needs a value.";
                return false;
            }
            parsed.options[word] = arguments[++i];
        } else if (word.starts_with(L"--")) {
            problem = L"Unknown option " + word + L".";
            return false;
        } else if (parsed.command.empty()) {
            parsed.command = word;
        } else {
            parsed.operands.push_back(word);
        }
    }
    return true;
}

// Questions are answered by the command, never by a person: init takes the
// active libraries for PB's own; every other command declines, which ends the
// tool before anything is copied, and says what was asked.
class ConsoleMessages final : public MessagePresenter {
public:
    explicit ConsoleMessages(ConsoleOutput& output) : output_(output) {}
    bool answerYes = false;
    unsigned lastFlags = 0;

    int showMessage(const std::wstring&, const std::wstring& text, unsigned flags) override {
        lastFlags = flags;
        if (flags == kMessageQuestion && answerYes) {
            return kAnswerYes;
        }
        if (flags == kMessageInformation) {
            output_.out(text);
        } else {
            output_.error(text);
        }
        return flags == kMessageQuestion ? kAnswerNo : 1;
    }

private:
    ConsoleOutput& output_;
};

struct SilentSounds final : SoundPlayer {
    void play(Sound) override {}
};

// The core returns at once after it ends the tool; the command then exits
// with the code of the reason.
struct RecordingEnd final : ToolEnd {
    bool ended = false;
    void endTool() override { ended = true; }
};

// --compiler stands in for the IDE's variable.
class CompilerEnvironment final : public Environment {
public:
    CompilerEnvironment(Environment& platform, std::optional<std::wstring> compiler)
        : platform_(platform), compiler_(std::move(compiler)) {}
    std::wstring environmentValue(const std::wstring& name) override {
        return name == L"PB_TOOL_Compiler" && compiler_ ? *compiler_
                                                        : platform_.environmentValue(name);
    }
    std::wstring programPath() override { return platform_.programPath(); }

private:
    Environment& platform_;
    std::optional<std::wstring> compiler_;
};

class Session {
public:
    Session(ConsolePlatform& platform, ConsoleOutput& console, const Arguments& arguments)
        : output(console), arguments_(arguments), messages_(console),
          environment_(platform.environment, option(L"--compiler")),
          services{
              platform.files, platform.byteFiles, environment_,      messages_,         sounds_,
              end_,           platform.clipboard, platform.programs, platform.shortcuts} {}

    std::optional<std::wstring> option(const std::wstring& name) const {
        const auto found = arguments_.options.find(name);
        return found == arguments_.options.end() ? std::nullopt : std::optional(found->second);
    }
    const std::vector<std::wstring>& operands() const { return arguments_.operands; }
    bool ended() const { return end_.ended; }
    // Why the tool ended: a declined question, or the copy error.
    int endedCode() const {
        return messages_.lastFlags == kMessageQuestion ? kExitNeedsAnswer : kExitCopyFailed;
    }
    void answerQuestions(bool yes) { messages_.answerYes = yes; }
    bool hasCompiler() { return !environment_.environmentValue(L"PB_TOOL_Compiler").empty(); }

    ConsoleOutput& output;
    ToolContext context;
    MemoryView view;

private:
    const Arguments& arguments_;
    ConsoleMessages messages_;
    SilentSounds sounds_;
    RecordingEnd end_;
    CompilerEnvironment environment_;

public:
    ToolServices services;
};

std::wstring joined(const std::vector<std::wstring>& texts, const std::wstring& separator) {
    std::wstring all;
    for (const std::wstring& text : texts) {
        all += (all.empty() ? L"" : separator) + text;
    }
    return all;
}

// The catalogue's names that start with a prefix, in name order.
std::vector<std::wstring> storedWith(const ToolContext& context, const std::wstring& prefix) {
    std::vector<std::wstring> names;
    std::copy_if(context.catalogue.begin(), context.catalogue.end(), std::back_inserter(names),
                 [&](const std::wstring& name) { return name.starts_with(prefix); });
    std::sort(names.begin(), names.end());
    return names;
}

// The start of every command that changes the library folder: the window's
// start without its questions. False when the tool ended.
bool prepareFolder(Session& s, bool takeActiveForPb) {
    s.answerQuestions(takeActiveForPb);
    const bool prepared = prepareLibraryStore(s.context, s.services);
    s.answerQuestions(false); // a known PB is never replaced by init
    if (!prepared || !keepUnknownActiveLibraries(s.context, s.services)) {
        return false;
    }
    loadSelectionRecord(s.context, s.services);
    settleRecordOnFiles(s.context, s.services);
    loadSettings(s.context, s.services, s.view);
    refreshUcrtVersionList(s.context, s.view);
    restoreSelection(s.context, s.view);
    return true;
}

// After a failed copy: which stored copy each active library now is.
void tellActiveLibraries(Session& s, const std::function<void(const std::wstring&)>& say) {
    for (const wchar_t* name : kActiveLibraries) {
        const ActiveLibrary active(s.context, s.services, name);
        const std::vector<std::wstring> copies = active.equalCopies();
        say(L"  " + active.name() + L": " +
            (!active.present() ? L"missing"
             : copies.empty()  ? L"equals none of the stored copies"
                               : L"equals " + joined(copies, L", ")));
    }
}

int endedFolder(Session& s) {
    if (s.endedCode() == kExitCopyFailed) {
        s.output.error(L"The active libraries now:");
        tellActiveLibraries(s, [&](const std::wstring& line) { s.output.error(line); });
    } else {
        s.output.error(L"Nothing was copied. Run 'TarvexC init' in a folder whose libraries are "
                       L"PB's own, or put the file back.");
    }
    return s.endedCode();
}

std::wstring recordText(const ToolContext& context) {
    const std::wstring& record = context.selectionRecord;
    const std::int32_t variant = decimalValue(recordField(record, 3));
    if (variant != kRecordedDynamicUcrt && variant != kRecordedStaticUcrt) {
        return variant == kRecordedPbCrt ? L"PB (dynamic)" : L"none";
    }
    const bool debug = decimalValue(recordField(record, 2)) != 0;
    const std::wstring version = recordField(record, 1);
    const bool dynamic = variant == kRecordedDynamicUcrt;
    return std::wstring(dynamic ? L"/MD" : L"/MT") + (debug ? L"d" : L"") +
           (version.empty() ? L"" : L" with " + vsName(context, version)) +
           (!dynamic && decimalValue(recordField(record, 4)) ? L", PB's libpng/libjpeg" : L"");
}

// "/MT (VS 16, VS 17, generic)" for each variant the store holds.
std::vector<std::wstring> storedVariants(const ToolContext& context) {
    std::vector<std::wstring> lines;
    if (context.catalogue.contains(L"_PB_msvcrt.lib")) {
        lines.push_back(L"PB");
    }
    for (const std::wstring prefix : {L"_MD_", L"_MT_", L"_MDd_", L"_MTd_"}) {
        std::vector<std::wstring> kinds;
        for (const std::wstring& name : storedWith(context, prefix)) {
            const std::wstring tag = versionTagOf(name);
            if (name == prefix + L"msvcrt.lib") {
                kinds.push_back(L"generic");
            } else if (!tag.empty() && name == prefix + tag + L"_msvcrt.lib") {
                kinds.push_back(L"VS " + tag);
            }
        }
        if (!kinds.empty()) {
            lines.push_back(L"/" + prefix.substr(1, prefix.size() - 2) + L" (" +
                            joined(kinds, L", ") + L")");
        }
    }
    return lines;
}

std::vector<std::wstring> listedVersions(const MemoryView& view, Control list) {
    std::vector<std::wstring> items;
    for (int i = 0; i < view.itemCount(list); ++i) {
        std::wstring item = view.itemText(list, i);
        items.push_back(item.substr(item.find_first_not_of(L' ')));
    }
    return items;
}

int status(Session& s) {
    detectLibraryHost(s.context, s.services);
    rebuildCatalogue(s.context, s.services);
    ToolContext& context = s.context;
    s.output.out(L"Compiler: " + s.services.environment.environmentValue(L"PB_TOOL_Compiler") +
                 L" (" +
                 (context.architectureName.empty() ? L"unknown" : context.architectureName) + L")");
    s.output.out(L"Library folder: " + context.libraryDirectory);
    s.output.out(L"Active libraries:");
    tellActiveLibraries(s, [&](const std::wstring& line) { s.output.out(line); });
    if (s.services.files.pathSize(context.statePath()) >= 0) {
        loadSelectionRecord(context, s.services);
    }
    loadSettings(context, s.services, s.view);
    refreshUcrtVersionList(context, s.view);
    s.output.out(L"Recorded choice: " + recordText(context));
    s.output.out(L"Stored variants: " + joined(storedVariants(context), L"; "));
    s.output.out(L"Stored Visual Studio versions: " +
                 joined(listedVersions(s.view, Control::cmbUcrtVersion), L"; "));
    return kExitDone;
}

int init(Session& s) {
    if (!prepareFolder(s, true)) {
        return endedFolder(s);
    }
    s.output.out(L"The active libraries are PB's own. Stored copies: " +
                 joined(storedWith(s.context, L"_PB_"), L", ") + L", " +
                 joined(storedWith(s.context, L"_UC_"), L", "));
    return kExitDone;
}

struct Variant {
    const wchar_t* word;
    Control button;
    bool debug;
};
constexpr Variant kVariants[] = {{L"md", Control::btnMD, false},
                                 {L"mt", Control::btnMT, false},
                                 {L"mdd", Control::btnMD, true},
                                 {L"mtd", Control::btnMT, true},
                                 {L"pb", Control::btnPB, false}};

// Puts the version and chkDebug of a UCRT choice on the controls. False, with
// what the store holds, when it lacks that variant or version.
bool chooseUcrt(Session& s, const Variant& variant) {
    const ToolContext& context = s.context;
    const std::wstring prefix = variantPrefix(variant.button, variant.debug);
    const std::optional<std::wstring> vs = s.option(L"--vs");
    int item = -1;
    if (vs) {
        item = context.catalogue.contains(prefix + *vs + L"_msvcrt.lib")
                   ? ucrtVersionItem(s.view, *vs)
                   : -1;
    } else if (context.catalogue.contains(prefix + L"msvcrt.lib")) {
        item = genericCopiesItem(context, s.view, prefix);
    } else {
        item = ucrtVersionItem(s.view, [&](const std::wstring& version) {
            return context.catalogue.contains(prefix + version + L"_msvcrt.lib");
        });
    }
    const bool stored = item >= 0 || (!vs && context.catalogue.contains(prefix + L"msvcrt.lib"));
    if (!stored) {
        s.output.error(L"Tarvex has not stored /" + prefix.substr(1, prefix.size() - 2) +
                       (vs ? L" with VS " + *vs : L"") + L" for this compiler. Stored: " +
                       joined(storedVariants(context), L"; ") + L".");
        return false;
    }
    s.view.setState(Control::chkDebug, variant.debug);
    applyDebugCaptions(s.view);
    s.view.selectItem(Control::cmbUcrtVersion, item);
    syncCrtButtons(s.context, s.view);
    return true;
}

void tellPlan(Session& s, int code) {
    const Choice choice{code, s.view.state(Control::chkDebug),
                        vsVersionNumber(s.view.text(Control::cmbUcrtVersion))};
    for (const auto& [active, stored] : activationPlan(s.context.catalogue, choice)) {
        s.output.out(L"Copied " + stored + L" over " + active);
    }
}

int use(Session& s) {
    const auto variant =
        std::find_if(std::begin(kVariants), std::end(kVariants), [&](const Variant& v) {
            return s.operands().size() == 1 && s.operands()[0] == v.word;
        });
    const std::optional<std::wstring> pngJpeg = s.option(L"--png-jpeg");
    if (variant == std::end(kVariants) || (pngJpeg && ((*pngJpeg != L"pb" && *pngJpeg != L"ucrt") ||
                                                       variant->button != Control::btnMT))) {
        s.output.error(L"Use: TarvexC use md|mt|mdd|mtd|pb [--vs N] [--png-jpeg pb|ucrt] "
                       L"(--png-jpeg with mt or mtd only)");
        return kExitUsage;
    }
    if (!prepareFolder(s, false)) {
        return endedFolder(s);
    }
    if (variant->button != Control::btnPB && !chooseUcrt(s, *variant)) {
        return kExitNotStored;
    }
    ControlView& view = s.view;
    // As a click flips the toggle before its handler runs.
    view.setState(variant->button, !view.state(variant->button));
    const bool switching = view.state(variant->button);
    onCrtButtonClicked(s.context, s.services, view, variant->button);
    if (s.ended()) {
        return endedFolder(s);
    }
    switching ? tellPlan(s, static_cast<int>(variant->button))
              : s.output.out(L"That choice is active already: nothing was copied.");
    if (pngJpeg && view.state(Control::btnPngJpeg) != (*pngJpeg == L"pb")) {
        view.setState(Control::btnPngJpeg, *pngJpeg == L"pb");
        onPngJpegClicked(s.context, s.services, view);
        if (s.ended()) {
            return endedFolder(s);
        }
        tellPlan(s, *pngJpeg == L"pb" ? kChoicePbImages : kChoiceUcrtImages);
    }
    return kExitDone;
}

// The registered prompt of a Visual Studio version: its item names it.
int registeredPrompt(Session& s, const std::wstring& version) {
    const auto name = s.context.vsVersions.find(version);
    for (int i = 0;
         name != s.context.vsVersions.end() && i < s.view.itemCount(Control::cmbVsVersion); ++i) {
        if (s.view.itemText(Control::cmbVsVersion, i).find(name->second) != std::wstring::npos) {
            return i;
        }
    }
    return -1;
}

int build(Session& s) {
    const std::optional<std::wstring> vcvarsall = s.option(L"--vcvarsall"), vs = s.option(L"--vs");
    if (vcvarsall.has_value() == vs.has_value()) {
        s.output.error(L"Use: TarvexC build (--vcvarsall PATH | --vs N) [--sdk VERSION]");
        return kExitUsage;
    }
    const std::wstring sdk = s.option(L"--sdk").value_or(L"");
    if (!safeForCommandLine(sdk)) {
        s.output.error(kUnsafeSdkText);
        return kExitUsage;
    }
    if (!prepareFolder(s, false)) {
        return endedFolder(s);
    }
    MemoryView& view = s.view;
    fillVsVersionList(s.context, s.services, view);
    if (vcvarsall) {
        view.clearItems(Control::cmbVsVersion);
        view.addItem(Control::cmbVsVersion, L" " + *vcvarsall, *vcvarsall);
        view.selectItem(Control::cmbVsVersion, 0);
    } else if (const int item = registeredPrompt(s, *vs); item >= 0) {
        view.selectItem(Control::cmbVsVersion, item);
    } else {
        s.output.error(L"No native-tools prompt of VS " + *vs +
                       L" is registered in Tarvex.ini for this compiler. Registered: " +
                       joined(listedVersions(view, Control::cmbVsVersion), L"; ") + L".");
        return kExitNotStored;
    }
    view.setText(Control::edtSdkVersion, sdk);
    const BuildOutcome outcome = buildUcrtLibraries(s.context, s.services, view);
    if (s.ended()) {
        return endedFolder(s);
    }
    if (!outcome.started || outcome.taken.empty()) {
        s.output.error(outcome.started ? L"The build took no library (exit code " +
                                             std::to_wstring(outcome.exitCode) + L")."
                                       : L"The build command could not be started.");
        return kExitBuildFailed;
    }
    for (const std::wstring& name : outcome.taken) {
        s.output.out(L"Took " + name);
    }
    return kExitDone;
}

// A folder means its .lib and .obj files; a name with wildcards the files it
// matches; in name order.
std::vector<std::wstring> checkedFiles(Session& s) {
    std::vector<std::wstring> files;
    for (const std::wstring& operand : s.operands()) {
        const bool folder = s.services.files.pathSize(operand) == kDirectory;
        const bool wildcard = operand.find_first_of(L"*?") != std::wstring::npos;
        if (!folder && !wildcard) {
            files.push_back(operand);
            continue;
        }
        const std::wstring directory = folder ? operand + L"\\" : directoryPart(operand);
        std::vector<std::wstring> found;
        for (const std::wstring& pattern :
             folder ? std::vector<std::wstring>{L"*.lib", L"*.obj"}
                    : std::vector<std::wstring>{fileNamePart(operand, false)}) {
            auto listing = s.services.files.newListing();
            for (bool open = listing->open(directory, pattern); open && listing->next();) {
                if (listing->kind() == EntryKind::File) {
                    found.push_back(directory + listing->name());
                }
            }
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

std::wstring commandWord(RuntimeNeed need) {
    constexpr const wchar_t* kWords[] = {L"md", L"mt", L"mdd", L"mtd"};
    return kWords[static_cast<std::size_t>(need) - 1];
}

int check(Session& s) {
    const std::vector<std::wstring> files = checkedFiles(s);
    if (files.empty()) {
        s.output.error(L"No library or object file to check.");
        return kExitUsage;
    }
    const bool compiler = s.hasCompiler();
    if (compiler) {
        detectLibraryHost(s.context, s.services);
        rebuildCatalogue(s.context, s.services);
        loadSettings(s.context, s.services, s.view);
        refreshUcrtVersionList(s.context, s.view);
    }
    std::vector<LibraryVerdict> verdicts;
    for (const std::wstring& file : files) {
        verdicts.push_back(judgeLibrary(s.context, s.services, file));
        const LibraryVerdict& verdict = verdicts.back();
        s.output.out(verdict.text + (verdict.advice.empty() ? L"" : L" " + verdict.advice));
    }
    const LibraryVerdict combined = combineVerdicts(verdicts);
    s.output.out(combined.text);
    if (combined.fit != LibraryFit::One) {
        return combined.fit == LibraryFit::Unreadable ? kExitUnreadable
               : combined.fit == LibraryFit::None     ? kExitNoFit
                                                      : kExitDone;
    }
    const std::wstring needed = neededText(combined.needs.runtime);
    if (!compiler) {
        const bool x86 = combined.needs.architecture == Architecture::X86;
        s.output.out(L"Choice: " + needed + L" for " + (x86 ? L"x86" : L"x64") + L".");
        return kExitDone;
    }
    const int item = fittingUcrtVersion(s.context, s.view, combined.needs);
    if (item == -1) {
        s.output.out(L"Tarvex has not stored " + needed +
                     L" that links them for this compiler: build it first.");
        return kExitNotStored;
    }
    const std::wstring version =
        item == kGenericCopies ? L""
                               : vsVersionNumber(s.view.itemText(Control::cmbUcrtVersion, item));
    s.output.out(
        L"Choice: " + needed +
        (version.empty() ? L", the generic copies" : L" with " + vsName(s.context, version)) +
        L" (TarvexC use " + commandWord(combined.needs.runtime) +
        (version.empty() ? L"" : L" --vs " + version) + L").");
    return kExitDone;
}

} // namespace

std::wstring consoleUsage() {
    return LR"(TarvexC: which C runtime the PB compiler links with, for build scripts.

  TarvexC status                 the compiler, its library folder, the stored copy each
                                 active library equals, the recorded choice, the stored
                                 variants and Visual Studio versions
  TarvexC init                   the first start without questions: keeps the active
                                 libraries as PB's own (_PB_ copies, never overwritten)
                                 and copies the _UC_ libraries from the tool's folder
  TarvexC use md|mt|mdd|mtd|pb [--vs N] [--png-jpeg pb|ucrt]
                                 switches as a click on the window does
  TarvexC build (--vcvarsall PATH | --vs N) [--sdk VERSION]
                                 builds UCRT libraries with Visual Studio and takes them in
  TarvexC check FILE|FOLDER...   which runtime the libraries and objects need, each and
                                 together (a folder means its .lib and .obj files)

Every command takes --compiler PATH (the PB compiler); without it, PB_TOOL_Compiler.
check works without a compiler too.

Exit codes:
  0  done; for check, one choice fits every file
  1  usage: unknown command or option, no compiler, an unsafe SDK version
  2  not stored: the variant, Visual Studio version or registered prompt
  3  a library copy failed
  4  the library folder needs a decision: run init, or put a file back
  5  the build failed or took no library
  6  check: no single choice fits every file
  7  check: a file cannot be read
  8  another Tarvex is running)";
}

int runConsoleTool(const std::vector<std::wstring>& arguments, ConsolePlatform& platform,
                   ConsoleOutput& output) {
    Arguments parsed;
    std::wstring problem;
    const std::map<std::wstring, int (*)(Session&)> commands{
        {L"status", status}, {L"init", init}, {L"use", use}, {L"build", build}, {L"check", check}};
    if (!arguments.empty() && (arguments[0] == L"--help" || arguments[0] == L"/?")) {
        output.out(consoleUsage());
        return kExitDone;
    }
    if (!parseArguments(arguments, parsed, problem) || !commands.contains(parsed.command)) {
        output.error(problem.empty() ? consoleUsage() : problem);
        return kExitUsage;
    }
    Session session(platform, output, parsed);
    if (parsed.command != L"check" && !session.hasCompiler()) {
        output.error(L"No compiler: give --compiler PATH, or start from the PB IDE.\n\n" +
                     consoleUsage());
        return kExitUsage;
    }
    // Reading files takes no lock; everything else reads or changes the
    // library folder, which one Tarvex at a time may do.
    if (parsed.command != L"check" && !platform.takeLock()) {
        output.error(L"Another Tarvex is running: close it and try again.");
        return kExitOtherCopy;
    }
    return commands.at(parsed.command)(session);
}

} // namespace tarvex
