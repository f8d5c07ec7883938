#include "ui/shown_box.h"

namespace quorvel {

const BoxHeader* g_pBoxHeader = nullptr;
const unsigned char* g_pCoverBlock = nullptr;
int32_t g_nCoverSize = 0;
const unsigned char* g_pDataBlock = nullptr;
int32_t g_nDataSize = 0;

}  // namespace quorvel
