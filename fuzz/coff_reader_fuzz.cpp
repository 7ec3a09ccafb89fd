// Arbitrary bytes as a library or object: never a crash, never an over-read.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/runtime_needs.h"
#include "fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvex::testing::MemoryFileReader reader(
        std::string(reinterpret_cast<const char*>(data), size));
    const tarvex::RuntimeNeeds needs = tarvex::judgeRuntimeNeeds(tarvex::collectCoffFacts(reader));
    // Each byte is read a few times at most; each member header brings 4 KiB.
    if (needs.facts.objects > size || reader.bytesRead > 75 * size + 8) {
        std::abort();
    }
    return 0;
}
