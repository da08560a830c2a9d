#include "quorvel_engine.h"

extern "C" QRV_API int32_t qrv_abi_version(void) {
  return 1;
}
