#include "converter/engine/convert_context.h"

#include "codec/profile.h"

CConvertContext::CConvertContext() = default;

int32_t CConvertContext::LeapMsOrDefault() const { return m_nLeapMs != 0 ? m_nLeapMs : DefaultLeapMs(); }

void CConvertContext::SetStopRequest(ConvertStopFn pfnStop, const void* pContext)
{
    m_pfnStop = pfnStop;
    m_pStopContext = pContext;
}
