#include "sheet/TokenObject.h"

#include "sheet/RPNstack.h"
#include "sheet/ValueArray.h"

void* TTokenObject::operator new(std::size_t size) { return ::operator new(size); }

void TTokenObject::operator delete(TTokenObject* token, std::destroying_delete_t) {
  TObjectBlock* block = token->ownerBlock_;
  token->~TTokenObject();
  if (block) {
    block->releaseSlot(token);
  } else {
    ::operator delete(token);
  }
}

void TTokenObject::assign(const TTokenObject* source) {
  if (source == this) return;
  if (!source) {
    clear();
    return;
  }
  // Everything is copied before the old sub-object goes: source may be a
  // token inside it.
  void* subObject = nullptr;
  switch (source->subObjectKind_) {
    case SubObjectKind::none:
      break;
    case SubObjectKind::list: {
      const TRPNstackObject* sourceList = source->subList();
      auto copy = std::make_unique<TRPNstackObject>(sourceList->factory());
      copy->assign(sourceList);
      subObject = copy.release();
      break;
    }
    case SubObjectKind::ownedArray: {
      auto copy = std::make_unique<TArray>();
      copy->assign(source->subArray());
      subObject = copy.release();
      break;
    }
    case SubObjectKind::borrowedArray:
      subObject = source->subObject_;
      break;
  }
  SubObjectKind subObjectKind = source->subObjectKind_;
  tokenClass = source->tokenClass;
  operatorCode = source->operatorCode;
  functionId = source->functionId;
  ok = source->ok;
  TValueRecord copiedValue = source->value;
  freeSubObject();
  value = std::move(copiedValue);
  subObject_ = subObject;
  subObjectKind_ = subObjectKind;
}

void TTokenObject::setSubList(std::unique_ptr<TRPNstackObject> list) {
  freeSubObject();
  value.kind = valueArrayConstant;
  if (!list) return;
  subObject_ = list.release();
  subObjectKind_ = SubObjectKind::list;
}

void TTokenObject::setOwnedArray(std::unique_ptr<TArray> array) {
  freeSubObject();
  value.kind = valueOwnedArray;
  if (!array) return;
  subObject_ = array.release();
  subObjectKind_ = SubObjectKind::ownedArray;
}

void TTokenObject::setBorrowedArray(TArray* array) {
  freeSubObject();
  value.kind = valueBorrowedArray;
  if (!array) return;
  subObject_ = array;
  subObjectKind_ = SubObjectKind::borrowedArray;
}

std::unique_ptr<TArray> TTokenObject::releaseOwnedArray() {
  if (subObjectKind_ != SubObjectKind::ownedArray) return nullptr;
  std::unique_ptr<TArray> array(static_cast<TArray*>(subObject_));
  subObject_ = nullptr;
  subObjectKind_ = SubObjectKind::none;
  return array;
}

void TTokenObject::freeSubObject() {
  // Reset first: freeing a nested list runs other tokens' destructors.
  void* object = subObject_;
  SubObjectKind kind = subObjectKind_;
  subObject_ = nullptr;
  subObjectKind_ = SubObjectKind::none;
  if (kind == SubObjectKind::list) {
    delete static_cast<TRPNstackObject*>(object);
  } else if (kind == SubObjectKind::ownedArray) {
    delete static_cast<TArray*>(object);
  }
}

TTokenObjectFactory::TTokenObjectFactory() : TObjectFactory(static_cast<int>(sizeof(TTokenObject))) {}

TTokenPtr TTokenObjectFactory::newToken() {
  TObjectBlock* block = nullptr;
  void* slot = takeSlot(block);
  if (!slot) return nullptr;
  auto* token = new (slot) TTokenObject();
  token->ownerBlock_ = block;
  return TTokenPtr(token);
}
