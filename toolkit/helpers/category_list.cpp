#include "borrowed_model.h"
#include "comsupport/boundary.h"
#include "comsupport/error_info.h"
#include "comsupport/this_module.h"
#include "vinnet/helpers.h"
#include "vinnet/story_caps.h"

namespace {

const UINT kMiscellaneousString = 40000;
const UINT kAlertsString = 40001;

int CategoryList(CMapStringToString& categories, int include_alerts, int selector) {
  categories.RemoveAll();
  BorrowedModel model;
  CServices* services = model.get();
  if (services) {
    const CString miscellaneous = comsupport::LoadResourceString(kMiscellaneousString, comsupport::ThisModule());
    for (int i = 0; i < services->GetNoServices(); ++i) {
      CService* service = services->GetService(i);
      if (!service) continue;
      CString category;
      service->GetCategory(category, selector);
      if (category.empty()) category = miscellaneous;
      const CString id = std::to_string(service->GetServiceID());
      CString ids;
      ids = categories.Lookup(category, ids) ? ids + "," + id : id;
      SortServices(ids);
      categories.SetAt(category, ids);
    }
  }
  if (include_alerts) {
    categories.SetAt(comsupport::LoadResourceString(kAlertsString, comsupport::ThisModule()),
                     std::to_string(VINNET_ALERTS_CHANNEL_ID));
  }
  return static_cast<int>(categories.GetCount());
}

}  // namespace

int GetCategoryList(CMapStringToString& categories, int include_alerts, int selector) {
  return comsupport::Boundary("GetCategoryList", 0, [&] { return CategoryList(categories, include_alerts, selector); });
}
