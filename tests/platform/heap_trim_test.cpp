#include "platform/heap_trim.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <malloc.h>

// A large block freed and taken again still gets pages of its own, which go back to the
// system when it is freed, rather than coming from the main heap, where they stay resident.
TEST(HeapTrim, LargeBlocksKeepPagesOfTheirOwn) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer has an allocator of its own";
#else
    ASSERT_TRUE(platform::keepLargeBlocksApart());
    const std::size_t size = 3u << 20;  // about the size of a chart picture
    for (int round = 0; round < 2; ++round) {
        const std::size_t apartBefore = mallinfo2().hblkhd;
        auto* block = static_cast<char*>(std::malloc(size));
        ASSERT_NE(block, nullptr);
        std::memset(block, 1, size);
        EXPECT_GE(mallinfo2().hblkhd, apartBefore + size) << "round " << round;
        std::free(block);
    }
#endif
}
