// Operations whose owners have not landed yet. Each owner deletes its entries here when it
// lands; this file disappears once it is empty.
#include "app/player.h"
#include "catalogue/folder_contents.h"
#include "catalogue/scan.h"

namespace tav {

}  // namespace tav
