// Integers addressed by section and entry: every persistent setting of the
// program goes through this interface.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace tallivo {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The stored value, or def when the entry is missing or unreadable.
  virtual uint32_t ReadInt(const char* section, const char* entry, uint32_t def) = 0;
  // Creates what is needed on the way; returns whether the value was stored.
  virtual bool WriteInt(const char* section, const char* entry, uint32_t value) = 0;
};

// In-memory store for tests and for a run without a registry.
class MemoryProfileStore : public ProfileStore {
 public:
  uint32_t ReadInt(const char* section, const char* entry, uint32_t def) override {
    auto it = m_values.find({section, entry});
    return it == m_values.end() ? def : it->second;
  }
  bool WriteInt(const char* section, const char* entry, uint32_t value) override {
    if (m_readOnly) return false;
    m_values[{section, entry}] = value;
    return true;
  }
  bool Has(const char* section, const char* entry) const { return m_values.count({section, entry}) != 0; }
  void SetReadOnly(bool ro) { m_readOnly = ro; }
  size_t Size() const { return m_values.size(); }

 private:
  std::map<std::pair<std::string, std::string>, uint32_t> m_values;
  bool m_readOnly = false;
};

// The application's profile store: the registry one once start-up has set
// it, an in-memory one before that (and after SetProfile(nullptr)).
ProfileStore& Profile();
void SetProfile(ProfileStore* store);

}  // namespace tallivo
