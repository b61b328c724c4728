#pragma once
#include <cstdint>

// One quote as exchanged between a text line and a price series: a calendar
// date and ten values, each present only when its Mask bit is set.
struct TQuoteRecord {
  uint16_t Day = 0;
  uint16_t Month = 0;
  uint16_t Year = 0;
  long double Open = 0;
  long double High = 0;
  long double Low = 0;
  long double Close = 0;
  long double Volume = 0;
  long double OpenInterest = 0;
  long double Bid = 0;
  long double Ask = 0;
  long double BidSize = 0;
  long double AskSize = 0;
  uint16_t Mask = 0;
  uint8_t Error = 0;
};

// Mask bits.
constexpr uint16_t quoteYearBit = 1;
constexpr uint16_t quoteMonthBit = 2;
constexpr uint16_t quoteDayBit = 4;
constexpr uint16_t quoteOpenBit = 8;
constexpr uint16_t quoteHighBit = 16;
constexpr uint16_t quoteLowBit = 32;
constexpr uint16_t quoteCloseBit = 64;
constexpr uint16_t quoteVolumeBit = 128;
constexpr uint16_t quoteOpenInterestBit = 256;
constexpr uint16_t quoteBidBit = 512;
constexpr uint16_t quoteAskBit = 1024;
constexpr uint16_t quoteBidSizeBit = 2048;
constexpr uint16_t quoteAskSizeBit = 4096;

constexpr uint16_t quoteDateBits = quoteYearBit | quoteMonthBit | quoteDayBit;
constexpr int quoteValueCount = 10;
constexpr uint16_t quoteValueBits = 0x1FF8;

// The ten values in record order (Open first); value i has mask bit
// quoteValueBit(i).
constexpr long double TQuoteRecord::*quoteValueFields[quoteValueCount] = {
    &TQuoteRecord::Open,         &TQuoteRecord::High, &TQuoteRecord::Low,    &TQuoteRecord::Close,
    &TQuoteRecord::Volume,       &TQuoteRecord::OpenInterest, &TQuoteRecord::Bid, &TQuoteRecord::Ask,
    &TQuoteRecord::BidSize,      &TQuoteRecord::AskSize};

constexpr uint16_t quoteValueBit(int valueIndex) { return static_cast<uint16_t>(quoteOpenBit << valueIndex); }
