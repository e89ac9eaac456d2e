// Storyroll's dispinterface: its properties, its methods and their persistence.
#include <olectl.h>

#include "storyroll_ctrl.h"

namespace {

enum Dispid : DISPID {
  kEmbeddedSummaries = 1,
  kUnreadItemsOnly = 2,
  kSelectedStoryIndex = 3,
  kNumStories = 4,
  kSummaryColor = 5,
  kHighlightBackColor = 6,
  kHighlightForeColor = 7,
  kPreviousStory = 8,
  kNextStory = 9,
  kSetChannel = 10,
  kSetSubChannel = 11,
  kSetCategory = 12,
  kCancel = 13,
  kGetStoryURL = 14,
  kTerminate = 15,
  kAlertColumn = 16,
  kAttachmentColumn = 17,
  kSignedColumn = 18,
};

}  // namespace

HRESULT CStoryrollCtrl::InvokeMember(controls::DispatchCall& call) {
  HRESULT hr = S_OK;
  switch (call.id()) {
    case kEmbeddedSummaries:
      return InvokeProperty(call, embedded_summaries_, true);
    case kUnreadItemsOnly:
      return InvokeProperty(call, unread_only_, true);
    case kCancel:
      return InvokeProperty(call, cancel_, false);
    case kAlertColumn:
      return InvokeProperty(call, alert_column_, false);
    case kAttachmentColumn:
      return InvokeProperty(call, attachment_column_, false);
    case kSignedColumn:
      return InvokeProperty(call, signed_column_, false);
    case kSummaryColor:
      return InvokeColor(call, summary_color_);
    case kHighlightBackColor:
      return InvokeColor(call, highlight_back_color_);
    case kHighlightForeColor:
      return InvokeColor(call, highlight_fore_color_);
    case kSelectedStoryIndex: {
      if (call.IsGet()) return call.Return(SelectedStoryIndex());
      if (!call.IsPut()) return DISP_E_MEMBERNOTFOUND;
      long index = 0;
      if (FAILED(hr = call.PutValue(&index))) return hr;
      if (has_grid()) grid_.SetSelectedItem(index);
      SetModified();
      return S_OK;
    }
    case kNumStories:
      if (call.IsGet()) return call.Return(NumStories());
      return call.IsPut() ? CTL_E_SETNOTSUPPORTED : DISP_E_MEMBERNOTFOUND;
    case kPreviousStory:
      if (FAILED(hr = call.Expect(0))) return hr;
      return call.ReturnBool(PreviousStory());
    case kNextStory:
      if (FAILED(hr = call.Expect(0))) return hr;
      return call.ReturnBool(NextStory());
    case kSetChannel: {
      long channel = 0;
      if (FAILED(hr = call.Expect(1)) || FAILED(hr = call.Argument(0, &channel))) return hr;
      return call.ReturnBool(SetChannel(static_cast<DWORD>(channel)));
    }
    case kSetSubChannel: {
      long channel = 0;
      std::string sub_channel;
      if (FAILED(hr = call.Expect(2)) || FAILED(hr = call.Argument(0, &channel)) ||
          FAILED(hr = call.Argument(1, &sub_channel))) {
        return hr;
      }
      return call.ReturnBool(SetSubChannel(static_cast<DWORD>(channel), sub_channel));
    }
    case kSetCategory: {
      std::string category;
      if (FAILED(hr = call.Expect(1)) || FAILED(hr = call.Argument(0, &category))) return hr;
      return call.ReturnBool(SetCategory(category));
    }
    case kGetStoryURL: {
      long channel = 0, story = 0;
      if (FAILED(hr = call.Expect(2)) || FAILED(hr = call.Argument(0, &channel)) ||
          FAILED(hr = call.Argument(1, &story))) {
        return hr;
      }
      return call.Return(GetStoryURL(static_cast<DWORD>(channel), static_cast<DWORD>(story)));
    }
    case kTerminate:
      if (FAILED(hr = call.Expect(0))) return hr;
      Terminate();
      return call.ReturnNothing();
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

HRESULT CStoryrollCtrl::InvokeProperty(controls::DispatchCall& call, VARIANT_BOOL& value, bool refreshes) {
  if (call.IsGet()) return call.ReturnBool(value != VARIANT_FALSE);
  if (!call.IsPut()) return DISP_E_MEMBERNOTFOUND;
  bool given = false;
  HRESULT hr = call.PutValue(&given);
  if (FAILED(hr)) return hr;
  const VARIANT_BOOL next = given ? VARIANT_TRUE : VARIANT_FALSE;
  const bool changed = next != value;
  value = next;
  SetModified();
  if (refreshes && changed && has_grid()) Refresh(true);
  NotifyPropertyChanged(call.id());
  return S_OK;
}

HRESULT CStoryrollCtrl::InvokeColor(controls::DispatchCall& call, OLE_COLOR& value) {
  if (call.IsGet()) return call.Return(static_cast<long>(value));
  if (!call.IsPut()) return DISP_E_MEMBERNOTFOUND;
  long given = 0;
  HRESULT hr = call.PutValue(&given);
  if (FAILED(hr)) return hr;
  value = static_cast<OLE_COLOR>(given);
  ApplyColors();
  InvalidateControl();
  SetModified();
  NotifyPropertyChanged(call.id());
  return S_OK;
}

HRESULT CStoryrollCtrl::ExchangeProperties(controls::PropertyExchange& exchange, DWORD version) {
  HRESULT hr;
  if (FAILED(hr = exchange.Bool("EmbeddedSummaries", embedded_summaries_, VARIANT_FALSE))) return hr;
  if (FAILED(hr = exchange.Bool("UnreadItemsOnly", unread_only_, VARIANT_FALSE))) return hr;
  if (exchange.loading() && version < 0x00010001) return S_OK;
  if (FAILED(hr = exchange.Color("HighlightBackColor", highlight_back_color_, 0xFF0000))) return hr;
  if (FAILED(hr = exchange.Color("HighlightForeColor", highlight_fore_color_, 0xFFFFFF))) return hr;
  if (FAILED(hr = exchange.Color("SummaryColor", summary_color_, 0xFF0000))) return hr;
  if (FAILED(hr = exchange.Bool("AlertColumn", alert_column_, VARIANT_TRUE))) return hr;
  if (FAILED(hr = exchange.Bool("AttachmentColumn", attachment_column_, VARIANT_TRUE))) return hr;
  if (FAILED(hr = exchange.Bool("SignedColumn", signed_column_, VARIANT_TRUE))) return hr;
  // The stock colours once more, after the control's own, as stored files of this version have them.
  OLE_COLOR back = back_color(), fore = fore_color();
  if (FAILED(hr = exchange.Color("BackColor", back, back))) return hr;
  if (FAILED(hr = exchange.Color("ForeColor", fore, fore))) return hr;
  set_back_color(back);
  set_fore_color(fore);
  return S_OK;
}

void CStoryrollCtrl::OnPropertiesLoaded() {
  ApplyColors();
  if (has_grid()) Refresh(true);
}

void CStoryrollCtrl::OnBackColorChanged() {
  ApplyColors();
  InvalidateControl();
}

void CStoryrollCtrl::OnForeColorChanged() {
  ApplyColors();
  InvalidateControl();
}

void CStoryrollCtrl::ApplyColors() {
  if (!has_grid()) return;
  grid_.SetBackColor(TranslateColor(back_color()));
  grid_.SetForeColor(TranslateColor(fore_color()));
  grid_.SetHighlightBackColor(TranslateColor(highlight_back_color_));
  grid_.SetHighlightForeColor(TranslateColor(highlight_fore_color_));
  grid_.SetSummaryColor(TranslateColor(summary_color_));
}
