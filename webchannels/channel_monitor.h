// The channels a control monitors: all of the client's, one by id, or those of one category,
// in the client's order, with whether each passed the page-security check. A COM object so
// that scripts can hold it (Channels); the control keeps one and replaces it on reselection.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "chanbind.h"
#include "comsupport/bstr.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/dispatch_impl.h"

namespace chanbind {

struct ChannelSelection {
  enum class Kind { kAll, kId, kCategory };
  Kind kind = Kind::kAll;
  comsupport::Variant id;  // kId: VT_I4, or a text passed to the client's lookup as it is
  std::wstring category;   // kCategory
};

class ChannelMonitor
    : public comsupport::ComObject<comsupport::DispatchImpl<IChanbindChannelCollection, &LIBID_CHANBIND2Lib>> {
 public:
  // Whether a channel passes the page-security check; the monitor remembers the answers.
  using SecurityCheck = std::function<bool(IZorvaneChannel4_2*)>;

  // Reads the selection from the client. Throws the client's errors; a selected channel that
  // fails the check (when enforce is set) raises "Requested channel is not secure".
  static comsupport::ComPtr<ChannelMonitor> Build(IZorvane4* client, const ChannelSelection& selection,
                                                  const SecurityCheck& check, bool enforce);

  long count() const { return static_cast<long>(channels_.size()); }
  IZorvaneChannel4_2* At(long position) const { return channels_[position].get(); }
  long IdAt(long position) const { return ids_[position]; }
  // nullptr when no monitored channel has the id.
  IZorvaneChannel4_2* ById(long id) const;
  // False when the channel was already monitored or the client does not know it.
  bool Add(IZorvane4* client, long id);
  bool Remove(long id);
  void Rebuild(IZorvane4* client);
  bool AllSecure() const { return all_secure_; }
  const ChannelSelection& selection() const { return selection_; }

  // IChanbindChannelCollection
  STDMETHODIMP get_length(long* length) override;
  STDMETHODIMP get_Count(long* count) override;
  STDMETHODIMP get_Item(long id, IZorvaneChannel4_2** channel) override;
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override;

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  ChannelMonitor() = default;
  void Read(IZorvane4* client, bool enforce);
  void Keep(comsupport::ComPtr<IZorvaneChannel4_2> channel, bool enforce);

  ChannelSelection selection_;
  SecurityCheck check_;
  std::vector<comsupport::ComPtr<IZorvaneChannel4_2>> channels_;
  std::vector<long> ids_;
  std::vector<bool> secure_;
  bool all_secure_ = true;
};

// Every channel of the client, in its order.
std::vector<comsupport::ComPtr<IZorvaneChannel4_2>> AllChannels(IZorvane4* client);

}  // namespace chanbind
