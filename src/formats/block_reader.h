// Small reads of a large file served from blocks of it, so that a reader
// that walks headers (the COFF reader) costs about one pass over the parts of
// the file it looks at, in few system calls.
#pragma once

#include <cstdint>
#include <string>

#include "platform/byte_file.h"

namespace tarvex {

// Reads a block at a time: a read close after the last block takes a block
// twice as large (up to kLargestBlock), as a walk over many small members
// goes on through the file; a jump takes the smallest again, as one over a
// few large members looks only at their starts and ends.
class BlockReader final : public FileReader {
public:
    static constexpr std::uint64_t kSmallestBlock = 8u << 10;
    static constexpr std::uint64_t kLargestBlock = 256u << 10;
    // Reading on through this many bytes costs about what one more call
    // costs (measured under Wine: a seek and a read about 4 microseconds, a
    // whole read about 10 GB/s). Blocks larger than the largest fall out of
    // the processor's cache between the read and the copies out of them,
    // and were measured slower.
    static constexpr std::uint64_t kNearBytes = 64u << 10;

    explicit BlockReader(FileReader& file) : file_(file) {}

    std::uint64_t size() const override { return file_.size(); }
    bool readAt(std::uint64_t offset, char* buffer, std::size_t count) override;

private:
    bool load(std::uint64_t offset);

    FileReader& file_;
    std::string block_; // the file's bytes from blockStart_ on
    std::uint64_t blockStart_ = 0;
    std::uint64_t span_ = kSmallestBlock;
};

} // namespace tarvex
