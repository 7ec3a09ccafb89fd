#include "core/active_library.h"

#include <algorithm>

#include "core/library_store.h"
#include "core/library_switch.h"
#include "formats/path_parts.h"

namespace tarvex {
namespace {

// Blocks of this size stay in the processor's cache while they are compared.
constexpr std::size_t kCompareBlock = 256 * 1024;

// A file that cannot be read counts as different: it is then asked about
// rather than overwritten.
bool sameBytes(ByteFileService& files, const std::wstring& first, const std::wstring& second) {
    const auto a = files.openForReading(first);
    const auto b = files.openForReading(second);
    if (!a || !b || a->size() != b->size()) {
        return false;
    }
    const auto block = static_cast<std::size_t>(std::min<std::uint64_t>(kCompareBlock, a->size()));
    std::string blockA(block, '\0'), blockB(block, '\0');
    for (std::uint64_t at = 0; at < a->size(); at += block) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(block, a->size() - at));
        if (!a->readAt(at, blockA.data(), count) || !b->readAt(at, blockB.data(), count) ||
            blockA.compare(0, count, blockB, 0, count) != 0) {
            return false;
        }
    }
    return true;
}

// The first of ".old", ".old2", ... that names nothing yet: an earlier
// kept copy is never replaced.
std::wstring keptName(ToolServices& services, const std::wstring& path) {
    std::wstring kept = path + L".old";
    for (int n = 2; services.files.pathSize(kept) != kMissing; ++n) {
        kept = path + L".old" + std::to_wstring(n);
    }
    return kept;
}

bool keepAsPbCopy(ToolContext& context, ToolServices& services, const std::wstring& name) {
    const std::wstring stored = L"_PB_" + name;
    const std::wstring pbCopy = context.libraryDirectory + stored;
    if (services.files.pathSize(pbCopy) != kMissing) {
        const std::wstring kept = keptName(services, pbCopy);
        if (!services.files.renameReplacing(pbCopy, kept)) {
            return reportCopyFailure(context, services, pbCopy, kept);
        }
    }
    if (!reportingCopy(context, services, context.libraryDirectory + name, pbCopy)) {
        return false;
    }
    context.catalogue.insert(stored);
    context.catalogueFacts[stored] = services.files.fileFacts(pbCopy).value_or(FileFacts{});
    return true;
}

} // namespace

ActiveLibrary::ActiveLibrary(const ToolContext& context, ToolServices& services, std::wstring name)
    : context_(context), services_(services), name_(std::move(name)),
      facts_(services.files.fileFacts(context.libraryDirectory + name_)) {}

// Names ending in the library's name are few, so the prefix rules run on few.
std::vector<std::wstring> ActiveLibrary::storedCopies() const {
    const std::wstring lower = asciiLowerCase(name_);
    std::vector<std::wstring> copies;
    for (const std::wstring& stored : context_.catalogue) {
        if (stored.size() > lower.size() &&
            sameIgnoringAsciiCase(std::wstring_view(stored).substr(stored.size() - lower.size()),
                                  lower) &&
            sameIgnoringAsciiCase(activatedName(stored), lower)) {
            copies.push_back(stored);
        }
    }
    std::sort(copies.begin(), copies.end());
    return copies;
}

bool ActiveLibrary::sameFacts(const std::wstring& stored) const {
    const auto known = context_.catalogueFacts.find(stored);
    return facts_ && known != context_.catalogueFacts.end() && known->second == *facts_;
}

bool ActiveLibrary::equals(const std::wstring& stored) const {
    if (!facts_) {
        return false;
    }
    if (sameFacts(stored)) {
        return true;
    }
    const auto known = context_.catalogueFacts.find(stored);
    if (known != context_.catalogueFacts.end() && known->second.size != facts_->size) {
        return false;
    }
    return sameBytes(services_.byteFiles, context_.libraryDirectory + name_,
                     context_.libraryDirectory + stored);
}

std::vector<std::wstring> ActiveLibrary::equalCopies() const {
    std::vector<std::wstring> copies = storedCopies();
    std::erase_if(copies, [&](const std::wstring& stored) { return !equals(stored); });
    return copies;
}

// A copy the tool made is told by its facts alone; only when none has them
// are the bytes read, since several copies can have the same size.
bool ActiveLibrary::unknown() const {
    if (!facts_) {
        return false;
    }
    const std::vector<std::wstring> copies = storedCopies();
    const auto by = [&](auto test) { return std::any_of(copies.begin(), copies.end(), test); };
    return !by([&](const std::wstring& stored) { return sameFacts(stored); }) &&
           !by([&](const std::wstring& stored) { return equals(stored); });
}

bool keepIfUnknown(ToolContext& context, ToolServices& services, const std::wstring& name) {
    if (!ActiveLibrary(context, services, name).unknown()) {
        return true;
    }
    const std::wstring question =
        L"'" + name +
        L"' is none of the copies Tarvex keeps, for example after PB was updated or "
        L"reinstalled.\n\n" +
        backupQuestion(name);
    if (services.messages.showMessage(context.messageTitle(), question, kMessageQuestion) ==
        kAnswerNo) {
        services.end.endTool();
        return false;
    }
    return keepAsPbCopy(context, services, name);
}

bool keepUnknownActiveLibraries(ToolContext& context, ToolServices& services) {
    if (context.libraryDirectory.empty()) {
        return true;
    }
    return std::all_of(kActiveLibraries.begin(), kActiveLibraries.end(),
                       [&](const wchar_t* name) { return keepIfUnknown(context, services, name); });
}

} // namespace tarvex
