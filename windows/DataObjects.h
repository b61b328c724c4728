#pragma once
#include <cstdint>
#include <string>

class TCustomPropertyObject;

// What a data window needs of the objects it lists: the hooks by which the
// Portfolios, Assets and Quotes windows differ. Indexes are those of the
// objects in their model list.
class TDataObjects {
 public:
  virtual ~TDataObjects() = default;

  virtual int count() const = 0;
  virtual TCustomPropertyObject* item(int index) const = 0;
  // Whether the object gets a line now (a window may leave some out).
  virtual bool hasLine(int index) const { return item(index) != nullptr; }
  // The cell type codes bound to this kind of object; the first field of
  // such a kind is the key field, whose cells hold the object's index.
  virtual bool isKeyKind(std::uint8_t kind) const = 0;
  virtual int currentIndex() const = 0;
  virtual void setCurrentIndex(int index) = 0;

  // The names under which the per-object line sizes and order are kept.
  virtual std::string rowHeightKey() const { return "RowHeight"; }
  virtual std::string colWidthKey() const { return "ColWidth"; }
  virtual std::string displayOrderKey() const { return "DisplayOrder"; }
};
