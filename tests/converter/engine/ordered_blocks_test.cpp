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
// (none asked for is one), with the steps in order seeing them in that order.
TEST(OrderedBlocks, DeliversEveryBlockInOrderWithAnyNumberOfWorkers)
{
    for (uint32_t nWorkers : {0u, 1u, 4u})
    {
        SCOPED_TRACE(nWorkers);
        std::vector<uint64_t> ordered, delivered;
        std::atomic<bool> bWorkerInRange{true};
        {
            const uint32_t nSpaces = nWorkers < 1 ? 1 : nWorkers;
            OrderedBlocks<Numbers> work(
                nWorkers, 3,
                [&](Numbers& b, uint32_t n)
                {
                    bWorkerInRange = bWorkerInRange && n < nSpaces;
                    b.nSum = 0;
                    for (uint32_t v : b.values)
                        b.nSum += v;
                },
                [&](Numbers& b, uint32_t) { ordered.push_back(b.values.front()); }, [](Numbers&, uint32_t) {},
                [&](Numbers& b, uint32_t) { delivered.push_back(b.nSum); });
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
    }
}
