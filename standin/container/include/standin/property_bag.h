// A property bag as a page's PARAM tags make it: name/value text pairs. Read answers a value
// converted to the type the control asks for and journals the name; Write stores the value as
// text (so a saved bag can load another control) and journals the pair.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "comsupport/com_object.h"

namespace standin {

using PropertyList = std::vector<std::pair<std::string, std::string>>;

class PropertyBag : public comsupport::ComObject<IPropertyBag> {
 public:
  explicit PropertyBag(PropertyList values = {}) : values_(std::move(values)) {}

  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

  const PropertyList& values() const { return values_; }
  // Names in the order the control read them, found or not.
  const std::vector<std::string>& reads() const { return reads_; }
  // "name=value" in the order the control wrote them.
  const std::vector<std::string>& writes() const { return writes_; }
  // The value of name, or nullptr.
  const std::string* Find(const std::string& name) const;

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  PropertyList values_;
  std::vector<std::string> reads_;
  std::vector<std::string> writes_;
};

}  // namespace standin
