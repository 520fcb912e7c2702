// The command preset file: any bytes read as a set; the set written and read
// again is the same set (groups, buttons and kept lines), written again the
// same text; and every group read is one the bar would let a user type, so
// that edits never make a set that a save changes.
#include <cstddef>
#include <cstdint>

#include "monitor/shell/preset_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 64 * 1024)
        return 0;
    const PRESET_SET_T set = ParsePresetText(QByteArray(reinterpret_cast<const char*>(pData), static_cast<int>(nSize)));
    if (set.GroupNames.isEmpty() || set.GroupLabels.size() != set.GroupNames.size() ||
        set.GroupSendStrings.size() != set.GroupNames.size())
        __builtin_trap();
    const QByteArray text = FormatPresetText(set);
    const PRESET_SET_T again = ParsePresetText(text);
    if (again.GroupNames != set.GroupNames || again.GroupLabels != set.GroupLabels ||
        again.GroupSendStrings != set.GroupSendStrings || again.KeptLines != set.KeptLines)
        __builtin_trap();
    if (FormatPresetText(again) != text)
        __builtin_trap();
    for (int g = 0; g < set.GroupNames.size(); ++g)
    {
        if (set.GroupLabels[g].size() != set.GroupSendStrings[g].size() || !IsPresetNameStorable(set.GroupNames[g]))
            __builtin_trap();
        for (int b = 0; b < set.GroupLabels[g].size(); ++b)
            if (!IsPresetButtonStorable(set.GroupLabels[g][b], set.GroupSendStrings[g][b]))
                __builtin_trap();
        // A button deleted, or all of them: the group still reads back.
        if (!IsPresetGroupStorable(set.GroupNames[g], {}, {}))
            __builtin_trap();
    }
    return 0;
}
