#include "signals/SignalCodec.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

// The first 8 bytes (missing ones 0) as one word each way: bit i of the little-endian word
// is bit i%8 of byte i/8; the big-endian word has byte 0 on top.
struct DataWords {
  uint64_t m_qwLittle = 0;
  uint64_t m_qwBig = 0;
  std::size_t m_nBytes = 0;
};

DataWords ReadWords(std::span<const uint8_t> data) {
  uint8_t abyBytes[8] = {};
  DataWords words;
  words.m_nBytes = std::min<std::size_t>(data.size(), 8);
  if (words.m_nBytes > 0) std::memcpy(abyBytes, data.data(), words.m_nBytes);
  for (int i = 0; i < 8; ++i) {
    words.m_qwBig = words.m_qwBig << 8 | abyBytes[i];
    words.m_qwLittle |= uint64_t{abyBytes[i]} << (8 * i);
  }
  return words;
}

uint64_t FieldMask(const DbcSignal& signal) {
  return signal.m_bySize >= 64 ? ~uint64_t{0} : (uint64_t{1} << signal.m_bySize) - 1;
}

double Physical(const DbcSignal& signal, uint64_t qwBits, int64_t& nRaw) {
  switch (signal.m_eValueType) {
    case EDbcValueType::FLOAT32:
      nRaw = static_cast<int64_t>(qwBits);
      return static_cast<double>(std::bit_cast<float>(static_cast<uint32_t>(qwBits))) * signal.m_dFactor + signal.m_dOffset;
    case EDbcValueType::FLOAT64:
      nRaw = static_cast<int64_t>(qwBits);
      return std::bit_cast<double>(qwBits) * signal.m_dFactor + signal.m_dOffset;
    case EDbcValueType::INTEGER:
      break;
  }
  if (signal.m_bSigned) {
    const unsigned nUnused = 64u - signal.m_bySize;
    nRaw = static_cast<int64_t>(qwBits << nUnused) >> nUnused;
    return static_cast<double>(nRaw) * signal.m_dFactor + signal.m_dOffset;
  }
  nRaw = static_cast<int64_t>(qwBits);
  return static_cast<double>(qwBits) * signal.m_dFactor + signal.m_dOffset;
}

bool DecodeFromWords(const DbcSignal& signal, const DataWords& words, DecodedSignal& out) {
  if (signal.m_byEndByte > words.m_nBytes) return false;
  const uint64_t qwWord = signal.m_bBigEndian ? words.m_qwBig : words.m_qwLittle;
  out.m_dPhysical = Physical(signal, (qwWord >> signal.m_byShift) & FieldMask(signal), out.m_nRaw);
  return true;
}

}  // namespace

bool DecodeSignal(const DbcSignal& signal, std::span<const uint8_t> data, DecodedSignal& out) {
  return DecodeFromWords(signal, ReadWords(data), out);
}

void DecodeSignals(const DbcMessage& message, std::span<const uint8_t> data, std::vector<DecodedSignal>& out) {
  out.clear();
  const DataWords words = ReadWords(data);
  DecodedSignal value;
  bool bMuxKnown = false;
  int64_t nMux = 0;
  if (message.m_nMultiplexer >= 0 &&
      DecodeFromWords(message.m_signals[static_cast<std::size_t>(message.m_nMultiplexer)], words, value)) {
    bMuxKnown = true;
    nMux = value.m_nRaw;
  }
  for (std::size_t i = 0; i < message.m_signals.size(); ++i) {
    const DbcSignal& signal = message.m_signals[i];
    if (signal.m_nMultiplexValue >= 0 && (!bMuxKnown || signal.m_nMultiplexValue != nMux)) continue;
    if (!DecodeFromWords(signal, words, value)) continue;
    value.m_nSignal = static_cast<uint32_t>(i);
    out.push_back(value);
  }
}

const std::string* ValueText(const DbcSignal& signal, int64_t nRaw) {
  const auto found = std::lower_bound(signal.m_valueTexts.begin(), signal.m_valueTexts.end(), nRaw,
                                      [](const auto& entry, int64_t n) { return entry.first < n; });
  return found != signal.m_valueTexts.end() && found->first == nRaw ? &found->second : nullptr;
}

SignalEncodeResult EncodeSignal(const DbcSignal& signal, double dPhysical, std::span<uint8_t, 8> data) {
  SignalEncodeResult result;
  if (signal.m_byEndByte > 8) return result;
  if (std::isnan(dPhysical)) {
    dPhysical = signal.HasRange() ? signal.m_dMinimum : signal.m_dOffset;
    result.m_bClamped = true;
  }
  if (signal.HasRange() && (dPhysical < signal.m_dMinimum || dPhysical > signal.m_dMaximum)) {
    dPhysical = std::clamp(dPhysical, signal.m_dMinimum, signal.m_dMaximum);
    result.m_bClamped = true;
  }
  const double dScaled = signal.m_dFactor == 0.0 ? 0.0 : (dPhysical - signal.m_dOffset) / signal.m_dFactor;
  uint64_t qwBits = 0;
  if (signal.m_eValueType == EDbcValueType::FLOAT32) {
    qwBits = std::bit_cast<uint32_t>(static_cast<float>(dScaled));
  } else if (signal.m_eValueType == EDbcValueType::FLOAT64) {
    qwBits = std::bit_cast<uint64_t>(dScaled);
  } else {
    // The raw field's limits, as doubles: [-2^(n-1), 2^(n-1)) signed, [0, 2^n) unsigned.
    const int nBits = signal.m_bySize;
    const double dLow = signal.m_bSigned ? -std::ldexp(1.0, nBits - 1) : 0.0;
    const double dHigh = signal.m_bSigned ? std::ldexp(1.0, nBits - 1) : std::ldexp(1.0, nBits);
    const double dRounded = std::round(dScaled);
    if (dRounded < dLow || dRounded >= dHigh || std::isinf(dScaled)) result.m_bClamped = true;
    if (dRounded < dLow)
      qwBits = signal.m_bSigned ? uint64_t{1} << (nBits - 1) : 0;  // the lowest: only the sign bit
    else if (dRounded >= dHigh)
      qwBits = signal.m_bSigned ? (uint64_t{1} << (nBits - 1)) - 1 : FieldMask(signal);
    else if (signal.m_bSigned)
      qwBits = static_cast<uint64_t>(static_cast<int64_t>(dRounded));
    else
      qwBits = static_cast<uint64_t>(dRounded);
  }
  const uint64_t qwMask = FieldMask(signal);
  qwBits &= qwMask;
  DataWords words = ReadWords(data);
  uint64_t& qwWord = signal.m_bBigEndian ? words.m_qwBig : words.m_qwLittle;
  qwWord = (qwWord & ~(qwMask << signal.m_byShift)) | qwBits << signal.m_byShift;
  for (int i = 0; i < 8; ++i)
    data[static_cast<std::size_t>(i)] = static_cast<uint8_t>(signal.m_bBigEndian ? words.m_qwBig >> (56 - 8 * i)
                                                                                  : words.m_qwLittle >> (8 * i));
  int64_t nRaw = 0;
  result.m_dPhysical = Physical(signal, qwBits, nRaw);
  result.m_bWritten = true;
  return result;
}
