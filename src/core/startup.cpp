#include "core/startup.h"

#include <limits>

#include "core/active_library.h"
#include "core/library_store.h"
#include "core/record_from_files.h"
#include "core/selection_record.h"

namespace tarvex {

std::uint64_t leadingNumber(const std::wstring& text) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::size_t i = text.find_first_not_of(L" \t");
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        const auto digit = static_cast<std::uint64_t>(text[i] - L'0');
        if (value > (kMax - digit) / 10) {
            return kMax;
        }
        value = value * 10 + digit;
    }
    return value;
}

bool prepareTool(ToolContext& context, ToolServices& services) {
    if (!prepareLibraryStore(context, services) || !keepUnknownActiveLibraries(context, services)) {
        return false;
    }

    loadSelectionRecord(context, services);
    settleRecordOnFiles(context, services);

    if (context.compilerDirectory.empty()) {
        services.messages.showMessage(L"Tarvex", kIdeOnlyNotice, kMessageInformation);
        services.end.endTool();
        return false;
    }
    context.ownerWindow =
        leadingNumber(services.environment.environmentValue(L"PB_TOOL_MainWindow"));
    return true;
}

} // namespace tarvex
