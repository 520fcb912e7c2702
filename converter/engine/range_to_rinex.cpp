#include "converter/engine/engine_state.h"
#include "converter/engine/work_thread.h"

// This build cannot convert range logs to RINEX yet: the job fails at once.
int CWorkThread::RunRange2Rnx() { return CONVERT_ERR_OBS_OUTPUT; }
