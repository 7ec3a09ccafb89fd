// Which C runtime a library or object built by Visual Studio needs (/MD, /MT,
// /MDd or /MTd), which processor it is for and which Visual Studio built it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "formats/coff_reader.h"
#include "platform/byte_file.h"

namespace tarvex {

enum class RuntimeVariant { MD, MT, MDd, MTd };
inline constexpr std::size_t kRuntimeVariantCount = 4;

enum class RuntimeNeed { None, MD, MT, MDd, MTd, Mixed };
enum class Architecture { Unknown, X86, X64, Other, Mixed };

// The objects of one file, counted, so that a library of thousands of
// members keeps nothing of each.
struct CoffFacts {
    CoffScan scan;
    // Every object, import members and LTCG ones included.
    std::uint64_t objects = 0;
    std::uint64_t importMembers = 0;
    std::uint64_t ltcgObjects = 0;
    // Indexed by RuntimeVariant; an object naming no runtime is in none.
    std::array<std::uint64_t, kRuntimeVariantCount> objectsPerVariant{};
    // By IMAGE_FILE_MACHINE_*; objects that name none are left out.
    std::map<std::uint16_t, std::uint64_t> objectsPerMachine;
    // By Visual Studio's two-digit tag; objects without a known stamp are left out.
    std::map<std::string, std::uint64_t> objectsPerVisualStudio;
};

struct RuntimeNeeds {
    CoffFacts facts;
    RuntimeNeed runtime = RuntimeNeed::None;
    Architecture architecture = Architecture::Unknown;
    // "14" (2015) to "18" (2026); empty when no object says.
    std::string visualStudio;
};

// The variant one object's linker directives name: its RuntimeLibrary
// mismatch check first, else its default libraries.
std::optional<RuntimeVariant> runtimeVariantOf(const std::vector<std::string>& directives);

// The Visual Studio release whose compiler stamps objects with this
// @comp.id; empty for older or unknown compilers.
std::string visualStudioTagOf(std::uint32_t compId);

CoffFacts collectCoffFacts(FileReader& file);
RuntimeNeeds judgeRuntimeNeeds(const CoffFacts& facts);

} // namespace tarvex
