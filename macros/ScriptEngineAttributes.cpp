#include "macros/ScriptEngineAttributes.h"

#include "platform/FontStyle.h"

const std::array<const char*, fontClassCount> fontClassNames = {
    "Default", "Keyword", "Operator", "Number", "String", "Function", "Comment", "NotSource"};

namespace {

// The platform's source-text attribute flags.
constexpr uint16_t attributeKeyword = 1, attributeComment = 2, attributeNotSource = 4, attributeOperator = 8,
                   attributeNumber = 16, attributeString = 32, attributeFunctionStart = 64;
constexpr int32_t black = 0, red = 255, green = 32768, blue = 16711680, grey = 8421504;

TFontAttributes font(uint16_t id, int32_t colour, unsigned style) {
  TFontAttributes record;
  record.id = id;
  record.colour = colour;
  record.style = style;
  return record;
}

TScriptEngineAttributes makeDefault() {
  TScriptEngineAttributes attributes;
  // Default and NotSource share id 4; registered after Default, NotSource
  // decides how characters outside the source are drawn.
  attributes.fonts = {font(attributeNotSource, black, 0),      font(attributeKeyword, red, fsBold),
                      font(attributeOperator, red, fsBold),    font(attributeNumber, green, 0),
                      font(attributeString, green, 0),         font(attributeFunctionStart, red, fsBold),
                      font(attributeComment, blue, 0),         font(attributeNotSource, grey, 0)};
  return attributes;
}

}  // namespace

const TScriptEngineAttributes& defaultEngineAttributes() {
  static const TScriptEngineAttributes attributes = makeDefault();
  return attributes;
}

std::vector<std::string> fileFilterExtensions(const std::string& fileFilter) {
  std::vector<std::string> extensions;
  size_t start = 0;
  while (start <= fileFilter.size()) {
    size_t end = fileFilter.find(';', start);
    if (end == std::string::npos) end = fileFilter.size();
    std::string pattern = fileFilter.substr(start, end - start);
    size_t first = pattern.find_first_not_of(' ');
    if (first != std::string::npos) {
      pattern = pattern.substr(first, pattern.find_last_not_of(' ') - first + 1);
      size_t dot = pattern.rfind('.');
      extensions.push_back(dot == std::string::npos ? std::string() : pattern.substr(dot));
    }
    start = end + 1;
  }
  return extensions;
}
