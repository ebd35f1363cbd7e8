// The one product information record of the process.
#include "app/globals.h"

namespace tess {

TGlobalVars GlobalVars;

}  // namespace tess
