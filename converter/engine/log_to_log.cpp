#include "converter/engine/engine_state.h"
#include "converter/engine/work_thread.h"

// This build cannot convert logs to logs yet: the job fails at once.
int CWorkThread::RunLog2Log() { return CONVERT_ERR_OUTPUT; }
