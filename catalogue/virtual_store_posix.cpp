#include "catalogue/virtual_store.h"

namespace korvalis {

// Only Windows redirects old programs' writes.
RedirectedFolders SystemRedirectedFolders() { return {}; }

}  // namespace korvalis
