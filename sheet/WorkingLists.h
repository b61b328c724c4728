#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "sheet/RPNstack.h"

// The lists on which a sheet evaluates its formulas: one for each level of
// evaluations in progress (a routine may compile and evaluate a criterion,
// and a macro may change cells while its call is evaluated). Each list is
// refilled in place for the next formula of its level, so its tokens and
// storage stay warm and no evaluation takes memory of its own.
class TWorkingLists {
 public:
  // The list of the next level, for as long as the lease lives; empty or
  // holding what the last formula of that level left.
  class TLease {
   public:
    TLease(TWorkingLists& lists, const std::shared_ptr<TTokenObjectFactory>& factory);
    ~TLease() { --lists_.depth_; }
    TLease(const TLease&) = delete;
    TLease& operator=(const TLease&) = delete;
    TRPNstackObject& operator*() const { return list_; }
    TRPNstackObject* operator->() const { return &list_; }

   private:
    TWorkingLists& lists_;
    TRPNstackObject& list_;
  };

 private:
  TRPNstackObject& enter(const std::shared_ptr<TTokenObjectFactory>& factory);

  std::vector<std::unique_ptr<TRPNstackObject>> lists_;
  std::size_t depth_ = 0;
};
