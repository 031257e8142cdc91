// The profile store in HKCU\Software\<company>\<application>\<section>, one
// REG_DWORD per entry.
#pragma once

#include <string>

#include "base/profile_store.h"

class RegistryProfileStore : public tallivo::ProfileStore {
 public:
  RegistryProfileStore(std::string company, std::string appName);
  uint32_t ReadInt(const char* section, const char* entry, uint32_t def) override;
  bool WriteInt(const char* section, const char* entry, uint32_t value) override;

 private:
  std::string SectionPath(const char* section) const;
  std::string m_company;
  std::string m_appName;
};
