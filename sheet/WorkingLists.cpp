#include "sheet/WorkingLists.h"

TWorkingLists::TLease::TLease(TWorkingLists& lists, const std::shared_ptr<TTokenObjectFactory>& factory)
    : lists_(lists), list_(lists.enter(factory)) {}

TRPNstackObject& TWorkingLists::enter(const std::shared_ptr<TTokenObjectFactory>& factory) {
  if (depth_ == lists_.size()) lists_.push_back(std::make_unique<TRPNstackObject>(factory));
  return *lists_[depth_++];
}
