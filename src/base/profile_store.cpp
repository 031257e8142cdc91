#include "base/profile_store.h"

namespace tallivo {

namespace {
MemoryProfileStore g_fallback;
ProfileStore* g_profile = &g_fallback;
}  // namespace

ProfileStore& Profile() { return *g_profile; }
void SetProfile(ProfileStore* store) { g_profile = store ? store : &g_fallback; }

}  // namespace tallivo
