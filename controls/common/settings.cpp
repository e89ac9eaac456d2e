#include "controls/settings.h"

#include "comsupport/registry.h"

namespace controls {

BOOL ReadSettingDword(const std::string& subkey, const char* name, DWORD default_value, DWORD* value) {
  *value = default_value;
  comsupport::RegistryKey key =
      comsupport::RegistryKey::Create(HKEY_CURRENT_USER, kSettingsKey + subkey, KEY_QUERY_VALUE | KEY_SET_VALUE);
  if (!key) return FALSE;
  if (std::optional<DWORD> stored = key.ReadDword(name)) {
    *value = *stored;
    return TRUE;
  }
  // A value of another type is the user's: read as the default, left as it is.
  if (!key.Read(name)) key.WriteDword(name, default_value);
  return TRUE;
}

}  // namespace controls
