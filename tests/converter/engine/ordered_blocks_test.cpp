#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "converter/engine/ordered_blocks.h"

namespace
{
struct Numbers
{
    std::vector<uint32_t> values;
    uint64_t nSum = 0;
};
} // namespace

// Blocks come out in the order they went in, whatever the number of workers
// (none asked for is one); every step is told each block's place.
TEST(OrderedBlocks, DeliversEveryBlockInOrderWithAnyNumberOfWorkers)
{
    for (uint32_t nWorkers : {0u, 1u, 4u})
    {
        SCOPED_TRACE(nWorkers);
        std::vector<uint64_t> ordered, delivered;
        std::atomic<bool> bWorkerInRange{true}, bIndexRight{true};
        {
            const uint32_t nSpaces = nWorkers < 1 ? 1 : nWorkers;
            OrderedBlocks<Numbers> work(
                nWorkers, 3,
                [&](Numbers& b, uint64_t nIndex, uint32_t n)
                {
                    if (nIndex != b.values.front())
                        bIndexRight = false;
                    if (n >= nSpaces)
                        bWorkerInRange = false;
                    b.nSum = 0;
                    for (uint32_t v : b.values)
                        b.nSum += v;
                },
                [&](Numbers&, uint64_t nIndex, uint32_t) { ordered.push_back(nIndex); },
                [](Numbers&, uint64_t, uint32_t) {},
                [&](Numbers& b, uint64_t nIndex, uint32_t)
                {
                    if (nIndex != delivered.size())
                        bIndexRight = false;
                    delivered.push_back(b.nSum);
                });
            for (uint32_t i = 0; i < 40; ++i)
            {
                Numbers* p = work.Take();
                p->values.assign(i + 1, i);
                work.Submit(p);
            }
            work.Drain();
            EXPECT_EQ(delivered.size(), 40u);
        }
        ASSERT_EQ(ordered.size(), 40u);
        ASSERT_EQ(delivered.size(), 40u);
        for (uint32_t i = 0; i < 40; ++i)
        {
            EXPECT_EQ(ordered[i], i);
            EXPECT_EQ(delivered[i], uint64_t(i) * (i + 1));
        }
        EXPECT_TRUE(bWorkerInRange.load());
        EXPECT_TRUE(bIndexRight.load());
    }
}
