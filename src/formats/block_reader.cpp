#include "formats/block_reader.h"

#include <algorithm>
#include <cstring>

namespace tarvex {

bool BlockReader::readAt(std::uint64_t offset, char* buffer, std::size_t count) {
    if (offset > size() || count > size() - offset) {
        return false;
    }
    while (count > 0) {
        const std::uint64_t end = blockStart_ + block_.size();
        if (offset < blockStart_ || offset >= end) {
            if (count >= kLargestBlock) { // no block would serve it better
                return file_.readAt(offset, buffer, count);
            }
            if (!load(offset)) {
                return false;
            }
            continue;
        }
        const std::size_t served =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, end - offset));
        std::memcpy(buffer, block_.data() + (offset - blockStart_), served);
        buffer += served;
        offset += served;
        count -= served;
    }
    return true;
}

bool BlockReader::load(std::uint64_t offset) {
    const std::uint64_t end = blockStart_ + block_.size();
    const bool close = !block_.empty() && offset >= blockStart_ && offset - end < kNearBytes;
    span_ = close ? std::min(span_ * 2, kLargestBlock) : kSmallestBlock;
    const std::uint64_t start = offset - offset % 4096;
    const std::uint64_t length = std::min(span_, size() - start);
    block_.resize(static_cast<std::size_t>(length));
    blockStart_ = start;
    if (!file_.readAt(start, block_.data(), block_.size())) {
        block_.clear();
        return false;
    }
    return true;
}

} // namespace tarvex
