#include "app/registry_profile_store.h"

#include <windows.h>

#include "base/text_format.h"

RegistryProfileStore::RegistryProfileStore(std::string company, std::string appName)
    : m_company(std::move(company)), m_appName(std::move(appName)) {}

RegistryProfileStore::~RegistryProfileStore() { DropWriteKey(); }

std::wstring RegistryProfileStore::SectionPath(const char* section) const {
  return tallivo::Wide("Software\\" + m_company + "\\" + m_appName + "\\" + section);
}

uint32_t RegistryProfileStore::ReadInt(const char* section, const char* entry, uint32_t def) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return def;
  }
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  LONG rc = RegQueryValueExW(key, tallivo::Wide(entry).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  // Anything but a proper DWORD (a string, binary data, a QWORD) is as good
  // as missing.
  if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return def;
  return value;
}

bool RegistryProfileStore::WriteInt(const char* section, const char* entry, uint32_t value) {
  // A kept key deleted meanwhile (or otherwise gone bad) fails the write:
  // the section is then opened afresh, once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    HKEY key = WriteKey(section);
    if (!key) return false;
    DWORD v = value;
    if (RegSetValueExW(key, tallivo::Wide(entry).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) ==
        ERROR_SUCCESS) {
      return true;
    }
    DropWriteKey();
  }
  return false;
}

HKEY RegistryProfileStore::WriteKey(const char* section) {
  if (m_writeKey && m_writeSection == section) return m_writeKey;
  DropWriteKey();
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  m_writeKey = key;
  m_writeSection = section;
  return m_writeKey;
}

void RegistryProfileStore::DropWriteKey() {
  if (m_writeKey) RegCloseKey(m_writeKey);
  m_writeKey = nullptr;
  m_writeSection.clear();
}
