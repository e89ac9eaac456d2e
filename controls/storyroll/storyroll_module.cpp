// The Storyroll module: its two classes, its registration and what the shared frame needs to
// know about the control.
#include <olectl.h>

#include "comsupport/class_factory.h"
#include "controls/control_module.h"
#include "controls/property_page_base.h"
#include "storyroll_ctrl.h"
#include "storyroll.h"
#include "storyroll_resources.h"

namespace {

const CLSID CLSID_StoryrollPropPage = {0x27443470, 0xFC66, 0x11D1, {0x8F, 0x62, 0x00, 0x60, 0x97, 0x73, 0x42, 0x2E}};

class CStoryrollPropPage : public controls::PropertyPageBase {
 public:
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    return comsupport::CreateAggregatable<CStoryrollPropPage>(outer, iid, out);
  }
};

}  // namespace

const controls::ControlClass& controls::ThisControlClass() {
  static const ControlClass control = {
      &CLSID_Storyroll,
      &CLSID_StoryrollPropPage,
      &LIBID_STORYROLLLib,
      &DIID__DStoryroll,
      &DIID__DStoryrollEvents,
      OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
          OLEMISC_RECOMPOSEONRESIZE,
      0x00010001,
      {400, 200},
      IDD_ABOUTBOX_STORYROLL,
      "Dashel\\HeadlineView",
  };
  return control;
}

const comsupport::InprocServer& comsupport::ThisServer() {
  static const InprocServer server = [] {
    InprocServer described;
    described.classes = {
        {&CLSID_Storyroll, &CStoryrollCtrl::CreateInstance},
        {&CLSID_StoryrollPropPage, &CStoryrollPropPage::CreateInstance},
    };
    return described;
  }();
  return server;
}

HRESULT CStoryrollCtrl::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  return comsupport::CreateAggregatable<CStoryrollCtrl>(outer, iid, out);
}
