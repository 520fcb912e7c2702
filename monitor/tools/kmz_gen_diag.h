// The KMZ export: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QMetaType>
#include <cstdint>

#include "monitor/shell/stand_in_window.h"

// Progress of a KMZ export, passed by value from its worker thread.
struct PARSE_LOG_INFO_T
{
    uint64_t Reserved = 0;
    uint64_t Processed = 0; // bytes of the input read so far
    uint64_t Total = 0;     // size of the input in bytes
    uint32_t Epochs = 0;    // completed epochs
    uint32_t TagCounter = 0;
    uint32_t Status = 0; // 0 running or done, 1 input not opened, 3 KML file not created
    uint8_t Reserved2[28] = {};
};
static_assert(sizeof(PARSE_LOG_INFO_T) == 64, "PARSE_LOG_INFO_T is a 64-byte record");
Q_DECLARE_METATYPE(PARSE_LOG_INFO_T)

class QKMZGenDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QKMZGenDiag(QWidget* pParent = nullptr);
};
