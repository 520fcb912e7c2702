#include "converter/engine/engine_state.h"

#include "codec/text_helpers.h"

void TracePhaseCounts(const CompressedPhaseCounts& counts)
{
    if (counts.nShifted)
        DebugPrintf("%u carrier phases written shifted by whole roll-overs or cycles, the same for each lock arc.\n",
                    counts.nShifted);
    if (counts.nDropped)
        DebugPrintf("%u carrier phases dropped: the compressed fields could not hold them.\n", counts.nDropped);
}
