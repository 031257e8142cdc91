// Where the program's libraries may come from (see library_search.cpp).
#pragma once

namespace app {

// Libraries loaded by name from now on come from the system folder only.
// Called first thing at start, before anything loads a library.
void RestrictLibrarySearch();

}  // namespace app
