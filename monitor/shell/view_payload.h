// The payloads of the main window's view signals, typed. The tick hands each
// visible window a `void*` that points at the tab set or at the current port's
// position record; a window's slot turns it into a typed const pointer here,
// once, reads what it draws during the call, and keeps nothing of it.
//
//   void QSkyplot::OnUpdateSkyPlot(void* pPosition)
//   {
//       const POS_DATA_T* pPos = PosDataPayload(pPosition);
//       if (pPos == nullptr) { ...draw an empty view...; return; }
//       ...
//   }
//
// A null payload stays null: a window draws an empty view for it.
#pragma once

#include "monitor/parsing/pos_data_parser.h"
#include "monitor/shell/port_tab.h"

// SignalUpdateSkyPlot, SignalUpdateTrackPlot, SignalUpdateHeightPlot, SignalUpdateRefCurPos.
inline const POS_DATA_T* PosDataPayload(const void* pPosData) { return static_cast<const POS_DATA_T*>(pPosData); }

// SignalUpdateINSStatus, SignalUpdateMap, SignalUpdateCN0BarChart, SignalUpdateRecvStatus,
// SignalUpdateRangeViewData, and the dialogs' OnUpdateDiag(void* pPortTab).
inline const CPortTab* PortTabPayload(const void* pPortTab) { return static_cast<const CPortTab*>(pPortTab); }
