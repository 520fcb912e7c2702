#include "support/added_log_type.h"

#include <cstring>

#include "codec/crc.h"
#include "codec/log_fields.h"
#include "codec/log_format.h"
#include "support/text_log_builder.h"

namespace
{
int DecodeMark3Pva(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeLayoutText(InsPvaLayout(), ADDED_LOG_ID, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLength);
}

int FormatMark3Pva(const LOG_TYPE_T& Type, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatLayoutLog(InsPvaLayout(), Type.Name, reinterpret_cast<const BinaryLogHeader*>(pRecord),
                           pRecord + LOG_HEADER_LENGTH, pOut, nCapacity, pOutLength);
}
} // namespace

const LOG_REGISTRY_T& RegistryWithAddedLog()
{
    static const std::vector<LOG_TYPE_T> s_rows = []
    {
        const LOG_REGISTRY_T& codec = CodecLogRegistry();
        std::vector<LOG_TYPE_T> rows(codec.Rows, codec.Rows + codec.Count);
        rows.push_back({"MARK3PVA", ADDED_LOG_ID, ADDED_LOG_ID,
                        LOG_USE_DECODE | LOG_USE_STORE_TEXT | LOG_USE_SHOW_TEXT | LOG_USE_CONVERT, DecodeMark3Pva,
                        FormatMark3Pva, 0, CopyRecordAsBinaryLog, LOG_BODY_FIXED, sizeof(InsPvaBody),
                        sizeof(InsPvaBody)});
        return rows;
    }();
    static const LOG_REGISTRY_T s_registry = {s_rows.data(), static_cast<uint32_t>(s_rows.size())};
    return s_registry;
}

InsPvaBody AddedLogBody()
{
    InsPvaBody b{};
    b.Week = 2295;
    b.Seconds = 79218.0;
    b.Latitude = 51.116376614;
    b.Longitude = -114.038259915;
    b.Height = 1048.421;
    b.NorthVel = -0.001;
    b.EastVel = 0.002;
    b.UpVel = -0.003;
    b.Roll = 1.25;
    b.Pitch = -0.5;
    b.Azimuth = 87.75;
    b.InsStatus = 3; // INS_SOLUTION_GOOD
    return b;
}

std::string AddedLogText()
{
    return WithTextCrc("#MARK3PVAA,COM1,0,25.0,FINESTEERING,2295,79218.000,00000000,0000,0;2295,79218.000000000,"
                       "51.116376614,-114.038259915,1048.421000000,-0.001000000,0.002000000,-0.003000000,"
                       "1.250000000,-0.500000000,87.750000000,INS_SOLUTION_GOOD");
}

std::vector<uint8_t> AddedLogBinary()
{
    const InsPvaBody body = AddedLogBody();
    BinaryLogHeader h{};
    FillBinaryHeader(ADDED_LOG_ID, 0, sizeof body, 32 /* COM1 on the wire */, 0, &h);
    h.TimeStatus = 180;
    h.Week = 2295;
    h.Milliseconds = 79218000;
    std::vector<uint8_t> log(sizeof h + sizeof body + 4);
    std::memcpy(log.data(), &h, sizeof h);
    std::memcpy(log.data() + sizeof h, &body, sizeof body);
    const uint32_t uCrc = Crc32Compute(log.data(), static_cast<int32_t>(sizeof h + sizeof body));
    std::memcpy(log.data() + sizeof h + sizeof body, &uCrc, 4);
    return log;
}
