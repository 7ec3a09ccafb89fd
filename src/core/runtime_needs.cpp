#include "core/runtime_needs.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "formats/path_parts.h"

namespace tarvex {
namespace {

struct VariantNames {
    RuntimeVariant variant;
    std::string_view mismatchValue; // what the compiler's headers check
    std::string_view library;       // the default library the compiler names
};

// Lower case: directives are compared without regard to case.
constexpr VariantNames kVariants[] = {
    {RuntimeVariant::MD, "runtimelibrary=md_dynamicrelease", "msvcrt"},
    {RuntimeVariant::MT, "runtimelibrary=mt_staticrelease", "libcmt"},
    {RuntimeVariant::MDd, "runtimelibrary=mdd_dynamicdebug", "msvcrtd"},
    {RuntimeVariant::MTd, "runtimelibrary=mtd_staticdebug", "libcmtd"},
};

// Where the compiler builds of each Visual Studio release begin, from
// Microsoft's published tables of _MSC_VER and _MSC_FULL_VER per release:
// 19.00 (2015, from 23026), 19.10-19.16 (2017, from 25017), 19.20-19.29
// (2019, from 27508), 19.30-19.44 (2022, from 30705; 17.14's 19.44 builds
// are 352xx) and 19.50 on (2026, above those). Each bound lies in the gap
// between two releases.
struct BuildRange {
    std::uint32_t firstBuild;
    const char* tag;
};
constexpr BuildRange kBuildRanges[] = {
    {35500, "18"}, {30500, "17"}, {27500, "16"}, {25000, "15"}, {23026, "14"},
};

// A linker option such as "/DEFAULTLIB:x" or "-defaultlib:x", as views into
// its directive. A library of thousands of objects is judged option by
// option, so nothing here copies: under Wine an allocation costs about what
// reading a member's bytes does.
struct Option {
    std::string_view name;
    std::optional<std::string_view> value;
};

std::optional<Option> optionOf(std::string_view token) {
    if (token.empty() || (token[0] != '/' && token[0] != '-')) {
        return std::nullopt;
    }
    token.remove_prefix(1);
    const std::size_t colon = token.find(':');
    if (colon == std::string_view::npos) {
        return Option{token, std::nullopt};
    }
    return Option{token.substr(0, colon), token.substr(colon + 1)};
}

bool namesLibrary(std::string_view name, std::string_view library) {
    if (name.size() == library.size() + 4 &&
        sameIgnoringAsciiCase(name.substr(library.size()), ".lib")) {
        name.remove_suffix(4);
    }
    return sameIgnoringAsciiCase(name, library);
}

std::optional<RuntimeVariant> mismatchVariant(const std::vector<Option>& options) {
    for (const Option& option : options) {
        for (const VariantNames& names : kVariants) {
            if (sameIgnoringAsciiCase(option.name, "failifmismatch") && option.value &&
                sameIgnoringAsciiCase(*option.value, names.mismatchValue)) {
                return names.variant;
            }
        }
    }
    return std::nullopt;
}

std::optional<RuntimeVariant> defaultLibraryVariant(const std::vector<Option>& options) {
    // Only the four runtime libraries matter, so exclusions are kept as four
    // flags: a list searched for each name would grow with the square of a
    // crafted directive section.
    std::array<bool, std::size(kVariants)> excluded{};
    for (const Option& option : options) {
        if (!sameIgnoringAsciiCase(option.name, "nodefaultlib")) {
            continue;
        }
        if (!option.value) {
            return std::nullopt;
        }
        for (std::size_t i = 0; i < excluded.size(); ++i) {
            excluded[i] = excluded[i] || namesLibrary(*option.value, kVariants[i].library);
        }
    }
    for (const Option& option : options) {
        for (std::size_t i = 0; i < excluded.size(); ++i) {
            if (sameIgnoringAsciiCase(option.name, "defaultlib") && option.value && !excluded[i] &&
                namesLibrary(*option.value, kVariants[i].library)) {
                return kVariants[i].variant;
            }
        }
    }
    return std::nullopt;
}

void count(CoffFacts& facts, const CoffObject& object) {
    ++facts.objects;
    facts.importMembers += object.kind == CoffKind::Import;
    facts.ltcgObjects += object.kind == CoffKind::Ltcg;
    if (const auto variant = runtimeVariantOf(object.directives)) {
        ++facts.objectsPerVariant[static_cast<std::size_t>(*variant)];
    }
    if (object.machine != 0) {
        ++facts.objectsPerMachine[object.machine];
    }
    if (const std::string tag = object.compId ? visualStudioTagOf(*object.compId) : "";
        !tag.empty()) {
        ++facts.objectsPerVisualStudio[tag];
    }
}

RuntimeNeed runtimeNeedOf(const CoffFacts& facts) {
    const auto named = std::count_if(facts.objectsPerVariant.begin(), facts.objectsPerVariant.end(),
                                     [](std::uint64_t objects) { return objects != 0; });
    if (named != 1) {
        return named == 0 ? RuntimeNeed::None : RuntimeNeed::Mixed;
    }
    const auto found = std::find_if(facts.objectsPerVariant.begin(), facts.objectsPerVariant.end(),
                                    [](std::uint64_t objects) { return objects != 0; });
    constexpr RuntimeNeed kNeeds[] = {RuntimeNeed::MD, RuntimeNeed::MT, RuntimeNeed::MDd,
                                      RuntimeNeed::MTd};
    return kNeeds[found - facts.objectsPerVariant.begin()];
}

Architecture architectureOf(const CoffFacts& facts) {
    if (facts.objectsPerMachine.size() != 1) {
        return facts.objectsPerMachine.empty() ? Architecture::Unknown : Architecture::Mixed;
    }
    switch (facts.objectsPerMachine.begin()->first) {
    case 0x014c:
        return Architecture::X86;
    case 0x8664:
        return Architecture::X64;
    default:
        return Architecture::Other;
    }
}

// The most common release; of equally common ones, the newest.
std::string commonestVisualStudio(const CoffFacts& facts) {
    std::string tag;
    std::uint64_t most = 0;
    for (const auto& [release, objects] : facts.objectsPerVisualStudio) {
        if (objects >= most) {
            tag = release;
            most = objects;
        }
    }
    return tag;
}

} // namespace

std::optional<RuntimeVariant> runtimeVariantOf(const std::vector<std::string>& directives) {
    std::vector<Option> options;
    options.reserve(directives.size());
    for (const std::string& token : directives) {
        if (auto option = optionOf(token)) {
            options.push_back(std::move(*option));
        }
    }
    const auto checked = mismatchVariant(options);
    return checked ? checked : defaultLibraryVariant(options);
}

std::string visualStudioTagOf(std::uint32_t compId) {
    const std::uint32_t build = compId & 0xFFFF;
    for (const BuildRange& range : kBuildRanges) {
        if (build >= range.firstBuild) {
            return range.tag;
        }
    }
    return {};
}

CoffFacts collectCoffFacts(FileReader& file) {
    CoffFacts facts;
    facts.scan = readCoff(file, [&facts](const CoffObject& object) { count(facts, object); });
    return facts;
}

RuntimeNeeds judgeRuntimeNeeds(const CoffFacts& facts) {
    return {facts, runtimeNeedOf(facts), architectureOf(facts), commonestVisualStudio(facts)};
}

} // namespace tarvex
