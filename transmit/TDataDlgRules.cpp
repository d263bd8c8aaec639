#include "transmit/TDataDlgRules.h"

#include "protocol/ModuleFormat.h"
#include "text/Cp949Text.h"
#include "text/FieldRules.h"

namespace {

constexpr uint8_t NO_CP949_FORM = '?';

uint32_t Flag(uint32_t bValue) { return bValue ? 1 : 0; }

std::string HexOf(uint8_t byValue) {
  std::string text;
  AppendHex(text, byValue, 2);
  return text;
}

// The byte a character of an Ascii box stands for. U+0000..U+00FF are the bytes themselves;
// anything else (pasted text) is taken as the code page would store it.
uint8_t ByteOfFirstCharacter(std::string_view utf8) {
  const auto byLead = static_cast<uint8_t>(utf8[0]);
  if (byLead < 0x80) return byLead;
  if ((byLead == 0xC2 || byLead == 0xC3) && utf8.size() >= 2)
    return static_cast<uint8_t>(((byLead & 0x03) << 6) | (static_cast<uint8_t>(utf8[1]) & 0x3F));
  const size_t nSequence = byLead < 0xE0 ? 2 : byLead < 0xF0 ? 3 : 4;
  const std::optional<std::string> cp949 = Utf8ToCp949(utf8.substr(0, nSequence));
  return cp949 && !cp949->empty() ? static_cast<uint8_t>((*cp949)[0]) : NO_CP949_FORM;
}

}  // namespace

TData DialogValuesOf(const TData& record) {
  TData values = record;
  values.pOwner = nullptr;
  values.bStandardID = Flag(record.bStandardID);
  values.bDataFrame = Flag(record.bDataFrame);
  values.bHexFormat = Flag(record.bHexFormat);
  if (values.byLength > MAX_DATA_LENGTH) values.byLength = MAX_DATA_LENGTH;
  values.dwID &= values.bStandardID ? STANDARD_ID_MASK : EXTENDED_ID_MASK;
  return values;
}

DataBoxTexts HexBoxTextsOf(const TData& record) {
  const std::array<uint8_t, MAX_DATA_LENGTH> abyData = DataBytesOf(record);
  DataBoxTexts texts;
  for (size_t i = 0; i < texts.size(); ++i) texts[i] = HexOf(abyData[i]);
  return texts;
}

std::string HexToAscii(std::string_view hexText) {
  if (hexText.empty()) return {};
  const uint8_t byCode = LeadingHexByte(hexText);
  if (byCode < 0x80) return std::string(1, static_cast<char>(byCode));
  return {static_cast<char>(0xC0 | (byCode >> 6)), static_cast<char>(0x80 | (byCode & 0x3F))};
}

std::string AsciiToHex(std::string_view asciiText) {
  return HexOf(asciiText.empty() ? 0 : ByteOfFirstCharacter(asciiText));
}

DataBoxTexts ConvertDataBoxes(const DataBoxTexts& texts, bool bToAscii) {
  DataBoxTexts converted;
  for (size_t i = 0; i < texts.size(); ++i) converted[i] = bToAscii ? HexToAscii(texts[i]) : AsciiToHex(texts[i]);
  return converted;
}

bool AreDataBoxesValid(const DataBoxTexts& texts, bool bHex, uint8_t byLength) {
  if (!bHex) return true;
  for (size_t i = 0; i < byLength && i < texts.size(); ++i)
    if (!IsHexText(texts[i])) return false;
  return true;
}

std::optional<uint16_t> ParsePeriodText(std::string_view text) {
  uint32_t dwValue = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    dwValue = dwValue * 10 + static_cast<uint32_t>(c - '0');
    if (dwValue > MAX_PERIOD_MS) return std::nullopt;
  }
  return static_cast<uint16_t>(dwValue);
}

void StoreDataBytes(const DataBoxTexts& texts, bool bHex, uint8_t byLength, TData& record) {
  record.dwBytes0to3 = 0;
  record.dwBytes4to7 = 0;
  for (size_t i = 0; i < byLength && i < texts.size(); ++i) {
    const std::string hexText = bHex ? texts[i] : AsciiToHex(texts[i]);
    const uint8_t byValue = IsHexText(hexText) ? LeadingHexByte(hexText) : 0;
    uint32_t& dwWord = i < 4 ? record.dwBytes0to3 : record.dwBytes4to7;
    dwWord |= uint32_t{byValue} << (24 - 8 * (i % 4));
  }
}
