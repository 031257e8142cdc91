// The profile store in HKCU\Software\<company>\<application>\<section>, one
// REG_DWORD per entry.
#pragma once

#include <windows.h>

#include <string>

#include "base/profile_store.h"

class RegistryProfileStore : public tallivo::ProfileStore {
 public:
  RegistryProfileStore(std::string company, std::string appName);
  ~RegistryProfileStore() override;
  RegistryProfileStore(const RegistryProfileStore&) = delete;
  RegistryProfileStore& operator=(const RegistryProfileStore&) = delete;
  uint32_t ReadInt(const char* section, const char* entry, uint32_t def) override;
  bool WriteInt(const char* section, const char* entry, uint32_t value) override;

 private:
  std::wstring SectionPath(const char* section) const;
  // The key of the section written last stays open: the once-a-second save
  // is then one call, not three.
  HKEY WriteKey(const char* section);
  void DropWriteKey();
  std::string m_company;
  std::string m_appName;
  std::string m_writeSection;
  HKEY m_writeKey = nullptr;
};
