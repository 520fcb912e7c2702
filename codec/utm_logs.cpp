#include "codec/utm_logs.h"

#include <cstddef>

#include "codec/profile.h"

namespace
{
const LOG_FIELD_T kBestUtmFields[] = {
    ZV_NAME(BestUtmBody, SolStatus, NAMES_SOLUTION_STATUS),
    ZV_NAME(BestUtmBody, PosType, NAMES_POSITION_TYPE),
    ZV_NUM(BestUtmBody, ZoneNumber, FIELD_U32, "%u"),
    ZV_NUM(BestUtmBody, ZoneLetter, FIELD_CHAR_U32, "%c"),
    ZV_NUM(BestUtmBody, Northing, FIELD_F64, "%.4lf"),
    ZV_NUM(BestUtmBody, Easting, FIELD_F64, "%.4lf"),
    ZV_NUM(BestUtmBody, Height, FIELD_F64, "%.4lf"),
    ZV_NUM(BestUtmBody, Undulation, FIELD_F32, "%.4f"),
    ZV_NAME(BestUtmBody, DatumId, NAMES_DATUM),
    ZV_NUM(BestUtmBody, NorthingSd, FIELD_F32, "%.4f"),
    ZV_NUM(BestUtmBody, EastingSd, FIELD_F32, "%.4f"),
    ZV_NUM(BestUtmBody, HeightSd, FIELD_F32, "%.4f"),
    ZV_STATION(BestUtmBody, StationId),
    ZV_NUM(BestUtmBody, DiffAge, FIELD_F32, "%.3f"),
    ZV_NUM(BestUtmBody, SolAge, FIELD_F32, "%.3f"),
    ZV_NUM(BestUtmBody, Sats.SatsTracked, FIELD_U8, "%d"),
    ZV_NUM(BestUtmBody, Sats.SatsInSolution, FIELD_U8, "%d"),
    ZV_NUM(BestUtmBody, Sats.SatsL1InSolution, FIELD_U8, "%d"),
    ZV_NUM(BestUtmBody, Sats.SatsMultiInSolution, FIELD_U8, "%d"),
    ZV_FIELD(BestUtmBody, Sats.Reserved, FIELD_U8, NAMES_NONE, "%02x", "%d"),
    ZV_NUM(BestUtmBody, Sats.ExtSolStatus, FIELD_U8, "%02x"),
    ZV_FIELD(BestUtmBody, Sats.GalBdsSignalMask, FIELD_U8, NAMES_NONE, "%02x", "%x"),
    ZV_NUM(BestUtmBody, Sats.GpsGloSignalMask, FIELD_U8, "%02x"),
};

const LOG_FIELD_T kUavGpsFields[] = {
    ZV_NUM(UavGpsBody, Time, FIELD_U64, "%llu"),       ZV_NUM(UavGpsBody, IntsA[0], FIELD_I32, "%d"),
    ZV_NUM(UavGpsBody, IntsA[1], FIELD_I32, "%d"),     ZV_NUM(UavGpsBody, IntsA[2], FIELD_I32, "%d"),
    ZV_NUM(UavGpsBody, IntsA[3], FIELD_I32, "%d"),     ZV_NUM(UavGpsBody, FloatsA[0], FIELD_F32, "%.3f"),
    ZV_NUM(UavGpsBody, FloatsA[1], FIELD_F32, "%.3f"), ZV_NUM(UavGpsBody, FloatsA[2], FIELD_F32, "%.3f"),
    ZV_NUM(UavGpsBody, FloatsA[3], FIELD_F32, "%.3f"), ZV_NUM(UavGpsBody, FloatsA[4], FIELD_F32, "%.2f"),
    ZV_NUM(UavGpsBody, FloatsA[5], FIELD_F32, "%.2f"), ZV_NUM(UavGpsBody, IntsB[0], FIELD_I32, "%d"),
    ZV_NUM(UavGpsBody, IntsB[1], FIELD_I32, "%d"),     ZV_NUM(UavGpsBody, FloatsB[0], FIELD_F32, "%.3f"),
    ZV_NUM(UavGpsBody, FloatsB[1], FIELD_F32, "%.3f"), ZV_NUM(UavGpsBody, FloatsB[2], FIELD_F32, "%.3f"),
    ZV_NUM(UavGpsBody, FloatsB[3], FIELD_F32, "%.3f"), ZV_NUM(UavGpsBody, FloatsB[4], FIELD_F32, "%.3f"),
    ZV_NUM(UavGpsBody, IntC, FIELD_I32, "%d"),         ZV_NUM(UavGpsBody, FloatC, FIELD_F32, "%.3f"),
    ZV_NUM(UavGpsBody, Bytes[0], FIELD_U8, "%u"),      ZV_NUM(UavGpsBody, Bytes[1], FIELD_U8, "%u"),
    ZV_NUM(UavGpsBody, Bytes[2], FIELD_U8, "%u"),
};

const LOG_LAYOUT_T kBestUtmLayout = ZV_LAYOUT(kBestUtmFields, BestUtmBody, ' ');
const LOG_LAYOUT_T kUavGpsLayout = ZV_LAYOUT(kUavGpsFields, UavGpsBody, ' ');
const LOG_LAYOUT_T kPx4GpsLayout{kUavGpsFields, sizeof(kUavGpsFields) / sizeof(kUavGpsFields[0]), sizeof(UavGpsBody),
                                 ' ', "<\t\t"};
}

int FormatBestUtm(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatLayoutLog(kBestUtmLayout, "BESTUTM", pHeader, pBody, pOut, nCapacity, pOutLen);
}

// The monitor's abbreviated PX4GPS line also ends with CR LF, so that the next
// log in the data view starts on a line of its own.
int FormatUavGps(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatLayoutLog(UavGpsLayout(), IsMonitorProfile() ? "PX4GPS" : "UAVGPS", pHeader, pBody, pOut, nCapacity,
                           pOutLen);
}

const LOG_LAYOUT_T& BestUtmLayout() { return kBestUtmLayout; }

const LOG_LAYOUT_T& UavGpsLayout() { return IsMonitorProfile() ? kPx4GpsLayout : kUavGpsLayout; }
