#pragma once
#include <string>
#include <vector>

class TPortableIniFile;

// The sections of an object's file that hold its two lists.
constexpr const char* customPropertiesSection = "CustomProperties";
constexpr const char* externalPropertiesSection = "ExternalProperties";

struct TCustomProperty {
  std::string Name;
  std::string Value;
};

// A list of free-form name=value properties, in the order they were set.
// Names are trimmed and compare without regard to case. The oldText/newText
// pair of the accessors swaps the decimal separator of numeric values: they
// are stored with "." and shown with the user's separator.
class TCustomProperties {
 public:
  TCustomProperties();

  void clear();
  std::string getValue(const std::string& name, const std::string& oldText, const std::string& newText) const;
  void setValue(const std::string& name, const std::string& value, const std::string& oldText,
                const std::string& newText, bool touch);
  void deleteName(const std::string& name, bool touch);

  void loadFromIni(const TPortableIniFile& ini, const std::string& section);
  // False when a property could not be stored as it is (its name is empty
  // or holds "=" or a line break, or its value a line break); the others
  // are written.
  bool saveToIni(TPortableIniFile& ini, const std::string& section) const;
  // True when saveToIni would store every property as it is.
  bool storable() const;

  const std::vector<TCustomProperty>& Lines() const { return lines_; }
  double LastChange() const { return lastChange_; }

 private:
  std::vector<TCustomProperty> lines_;
  double lastChange_;
};

// The base of the model objects (transactions, assets, portfolios): the
// user's own properties and the windows' per-object settings.
class TCustomPropertyObject {
 public:
  virtual ~TCustomPropertyObject() = default;

  void clear();
  std::string getCustomProperty(const std::string& name, const std::string& oldText = "",
                                const std::string& newText = "") const;
  std::string getExternalProperty(const std::string& name, const std::string& oldText = "",
                                  const std::string& newText = "") const;
  void setCustomProperty(const std::string& name, const std::string& value, const std::string& oldText = "",
                         const std::string& newText = "", bool touch = true);
  void setExternalProperty(const std::string& name, const std::string& value, const std::string& oldText = "",
                           const std::string& newText = "", bool touch = true);

  // A window's own setting of the object (its line's size or place): kept
  // for the next save without counting as a change, so that sheets which
  // compare change stamps do not recompute for it.
  void setViewProperty(const std::string& name, const std::string& value);
  // A line's size, stored unless it is the size the line took from what
  // the object holds (storedSize: the size shown without one, also for a
  // text no size reads from, such as "1E300"), so that merely looking at a
  // grid writes no file (a read-only one raises no question at the close)
  // and a text the window could not take stays as spelled until the user
  // resizes the line.
  void setViewSize(const std::string& name, int size, int storedSize);
  bool viewPropertiesUnsaved() const { return viewPropertiesUnsaved_; }

  // The latest time anything in the object changed; derived objects fold in
  // their own stamps and those of their parts.
  virtual double lastChange() const;

  TCustomProperties CustomProperties;
  TCustomProperties ExternalProperties;

 protected:
  void loadProperties(const TPortableIniFile& ini);
  // False when some property could not be stored (see saveToIni).
  bool saveProperties(TPortableIniFile& ini) const;
  // Savers refuse to write an object whose properties cannot all be stored,
  // so that its file keeps the last state that could.
  bool propertiesStorable() const;
  void viewPropertiesSaved() { viewPropertiesUnsaved_ = false; }

 private:
  bool viewPropertiesUnsaved_ = false;
};
