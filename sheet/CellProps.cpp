#include "sheet/CellProps.h"

#include "model/PortableIniFile.h"
#include "sheet/StoredFormula.h"

namespace {

constexpr std::int32_t systemWindowColor = static_cast<std::int32_t>(0x80000005u);
constexpr std::int32_t systemWindowTextColor = static_cast<std::int32_t>(0x80000008u);
constexpr std::uint8_t defaultKind = 2;  // a plain string cell
constexpr std::uint8_t defaultMaxDecimals = 15;

const std::string conditionalPrefix = "Conditional";

}  // namespace

// ---- TFontAndFillProps ----

void TFontAndFillProps::setDefaults() {
  Enabled = false;
  CharSet = defaultCharSet;
  FontStyle = 0;
  FontPitch = 0;
  FillColor = systemWindowColor;
  FontColor = systemWindowTextColor;
  FontSize = 8;
  FontName = "MS Sans Serif";
}

void TFontAndFillProps::assign(const TFontAndFillProps* source) {
  if (!source) {
    setDefaults();
    return;
  }
  Enabled = source->Enabled;
  CharSet = source->CharSet;
  FontStyle = source->FontStyle;
  FontPitch = source->FontPitch;
  FillColor = source->FillColor;
  FontColor = source->FontColor;
  FontSize = source->FontSize;
  FontName = source->FontName;
}

void TFontAndFillProps::loadFromIni(const TPortableIniFile& ini, const std::string& section,
                                    const std::string& prefix) {
  Enabled = ini.readBool(section, prefix + "FontAndFill", Enabled);
  if (!Enabled) return;
  FontName = ini.readString(section, prefix + "FontName", FontName);
  FontStyle = ini.readFontStyle(section, prefix + "FontStyle", FontStyle);
  CharSet = static_cast<std::uint8_t>(ini.readInteger(section, prefix + "CharSet", CharSet));
  FontPitch = static_cast<std::uint8_t>(ini.readInteger(section, prefix + "FontPitch", FontPitch));
  FillColor = ini.readInteger(section, prefix + "FillColor", FillColor);
  FontColor = ini.readInteger(section, prefix + "FontColor", FontColor);
  FontSize = ini.readInteger(section, prefix + "FontSize", FontSize);
}

int TFontAndFillProps::saveToIni(TPortableIniFile& ini, const std::string& section, const std::string& prefix) const {
  ini.writeBool(section, prefix + "FontAndFill", Enabled);
  if (!Enabled) return 0;
  ini.writeString(section, prefix + "FontName", FontName);
  ini.writeFontStyle(section, prefix + "FontStyle", FontStyle);
  ini.writeInteger(section, prefix + "CharSet", CharSet);
  ini.writeInteger(section, prefix + "FontPitch", FontPitch);
  ini.writeInteger(section, prefix + "FillColor", FillColor);
  ini.writeInteger(section, prefix + "FontColor", FontColor);
  ini.writeInteger(section, prefix + "FontSize", FontSize);
  return 0;
}

void TFontAndFillProps::applyToFont(TFontProperties& font) const {
  font.charSet = CharSet;
  font.pitch = static_cast<TFontPitch>(FontPitch);
  font.color = FontColor;
  font.size = FontSize;
  font.style = FontStyle;
  font.name = FontName;
}

void TFontAndFillProps::assignFont(const TFontProperties& font) {
  CharSet = static_cast<std::uint8_t>(font.charSet);
  FontPitch = static_cast<std::uint8_t>(font.pitch);
  FontColor = font.color;
  FontSize = font.size;
  FontStyle = font.style;
  FontName = font.name;
  Enabled = true;
}

void TFontAndFillProps::setFillColor(std::int32_t color) {
  FillColor = color;
  Enabled = true;
}

// ---- TConditionalFontAndFillProps ----

void TConditionalFontAndFillProps::setConditionDefaults() {
  Threshold = 0.0;
  IfAboveThreshold = true;
}

TConditionalFontAndFillProps& TConditionalFontAndFillProps::setDefaults() {
  TFontAndFillProps::setDefaults();
  setConditionDefaults();
  return *this;
}

void TConditionalFontAndFillProps::assign(const TConditionalFontAndFillProps* source) {
  if (!source) {
    setDefaults();
    return;
  }
  Threshold = source->Threshold;
  IfAboveThreshold = source->IfAboveThreshold;
  TFontAndFillProps::assign(source);
}

void TConditionalFontAndFillProps::loadFromIni(const TPortableIniFile& ini, const std::string& section) {
  TFontAndFillProps::loadFromIni(ini, section, conditionalPrefix);
  if (!Enabled) return;
  Threshold = ini.readFloat(section, "Threshold", Threshold);
  IfAboveThreshold = ini.readBool(section, "IfAboveThreshold", IfAboveThreshold);
}

int TConditionalFontAndFillProps::saveToIni(TPortableIniFile& ini, const std::string& section) const {
  int result = TFontAndFillProps::saveToIni(ini, section, conditionalPrefix);
  if (result != 0 || !Enabled) return result;
  ini.writeFloat(section, "Threshold", Threshold);
  ini.writeBool(section, "IfAboveThreshold", IfAboveThreshold);
  return 0;
}

void TConditionalFontAndFillProps::setCondition(bool ifAboveThreshold, double threshold) {
  IfAboveThreshold = ifAboveThreshold;
  Threshold = threshold;
  Enabled = true;
}

// ---- TCellProps ----

TCellProps::TCellProps()
    : Format(std::make_unique<TFontAndFillProps>()),
      ConditionalFormat(std::make_unique<TConditionalFontAndFillProps>()) {
  setDefaults();
}

TCellProps::~TCellProps() = default;

void TCellProps::setDefaults() {
  Locked = true;
  FixedDecimals = false;
  Content.clear();
  Trail.clear();
  Kind = defaultKind;
  MaxDecimals = defaultMaxDecimals;
  Alignment = 0;
  Format->setDefaults();
  ConditionalFormat->setDefaults();
}

int TCellProps::assign(const TCellProps* source) {
  if (!source) {
    setDefaults();
    return 0;
  }
  Locked = source->Locked;
  FixedDecimals = source->FixedDecimals;
  Content = source->Content;
  Trail = source->Trail;
  Kind = source->Kind;
  MaxDecimals = source->MaxDecimals;
  Alignment = source->Alignment;
  Format->assign(source->Format.get());
  ConditionalFormat->assign(source->ConditionalFormat.get());
  return 0;
}

std::string TCellProps::alignmentToStr() const {
  std::string text;
  if (Alignment & fieldAlignTop) text += 'T';
  if (Alignment & fieldAlignBottom) text += 'B';
  if (Alignment & fieldAlignLeft) text += 'L';
  if (Alignment & fieldAlignRight) text += 'R';
  return text;
}

void TCellProps::strToAlignment(const std::string& text) {
  Alignment = 0;
  if (text.find('T') != std::string::npos) Alignment |= fieldAlignTop;
  if (text.find('B') != std::string::npos) Alignment |= fieldAlignBottom;
  if (text.find('L') != std::string::npos) Alignment |= fieldAlignLeft;
  if (text.find('R') != std::string::npos) Alignment |= fieldAlignRight;
}

int TCellProps::loadFromIni(const TPortableIniFile& ini, const std::string& section, char listSeparator,
                            char decimalSeparator) {
  setDefaults();
  if (!ini.sectionExists(section)) return -7;
  Locked = ini.readBool(section, "Locked", Locked);
  Content = formulaFromStore(ini.readString(section, "Content", Content), decimalSeparator, listSeparator);
  Trail = ini.readString(section, "Trail", Trail);
  Kind = static_cast<std::uint8_t>(ini.readInteger(section, "Kind", Kind));
  MaxDecimals = static_cast<std::uint8_t>(ini.readInteger(section, "MaxDecimals", MaxDecimals));
  FixedDecimals = ini.readBool(section, "FixedDecimals", FixedDecimals);
  strToAlignment(ini.readString(section, "Alignment", alignmentToStr()));
  Format->loadFromIni(ini, section, "");
  ConditionalFormat->loadFromIni(ini, section);
  return 0;
}

int TCellProps::saveToIni(TPortableIniFile& ini, const std::string& section, char listSeparator,
                          char decimalSeparator) const {
  ini.writeBool(section, "Locked", Locked);
  ini.writeString(section, "Content",
                  quotedWhereNeeded(formulaToStore(Content, decimalSeparator, listSeparator)));
  // The quotes keep blanks at the ends of the trail, which reading trims.
  ini.writeString(section, "Trail", '"' + Trail + '"');
  ini.writeInteger(section, "Kind", Kind);
  ini.writeInteger(section, "MaxDecimals", MaxDecimals);
  ini.writeBool(section, "FixedDecimals", FixedDecimals);
  ini.writeString(section, "Alignment", alignmentToStr());
  int result = Format->saveToIni(ini, section, "");
  if (result == 0) result = ConditionalFormat->saveToIni(ini, section);
  return result;
}
