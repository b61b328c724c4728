#include "controls/FontAttributeSets.h"

#include <algorithm>

#include "model/FontProperties.h"

bool TFontAttributeSets::add(const TFontAttributes& record) {
  try {
    const auto place = std::lower_bound(records_.begin(), records_.end(), record.id,
                                        [](const TFontAttributes& r, uint16_t id) { return r.id < id; });
    if (place != records_.end() && place->id == record.id)
      *place = record;
    else
      records_.insert(place, record);
    return true;
  } catch (...) {
    return false;
  }
}

TFontAttributes* TFontAttributeSets::find(uint16_t id) {
  const auto place = std::lower_bound(records_.begin(), records_.end(), id,
                                      [](const TFontAttributes& r, uint16_t key) { return r.id < key; });
  return place != records_.end() && place->id == id ? &*place : nullptr;
}

const TFontAttributes* TFontAttributeSets::find(uint16_t id) const {
  return const_cast<TFontAttributeSets*>(this)->find(id);
}

void TFontAttributeSets::invalidateWidths() {
  for (TFontAttributes& record : records_) record.widthsStale = true;
}

TFontAttributes fontAttributesOf(const TFontProperties& font) {
  TFontAttributes record;
  record.colour = font.color;
  record.fontName = font.name;
  record.pitch = static_cast<int>(font.pitch);
  record.size = font.size;
  record.style = font.style;
  return record;
}

TFontProperties fontPropertiesOf(const TFontAttributes& record) {
  TFontProperties font;
  font.color = record.colour;
  font.name = record.fontName;
  font.pitch = static_cast<TFontPitch>(record.pitch);
  font.size = record.size;
  font.style = record.style;
  return font;
}
