// The box the window is showing, under the process-wide names the window's
// code uses: views into the LoadedBox that CViewerDlg::LoadBoxFile read,
// valid until its FreeBoxFile. Both run inside one OpenBoxFile call, so the
// names are empty at every other time.
#pragma once

#include <cstdint>

#include "boxfile/box_header.h"

namespace quorvel {

extern const BoxHeader* g_pBoxHeader;
extern const unsigned char* g_pCoverBlock;  // null when the box has no cover block
extern int32_t g_nCoverSize;
extern const unsigned char* g_pDataBlock;  // null when the box has no data block
extern int32_t g_nDataSize;

}  // namespace quorvel
