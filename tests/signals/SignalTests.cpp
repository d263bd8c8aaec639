// The DBC reader on real and hostile files, and decoding and encoding on hand-worked frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "signals/CSignalTracker.h"
#include "signals/DbcReader.h"
#include "signals/SignalCodec.h"
#include "support/TestFrames.h"

namespace {

DbcReadResult Read(const std::string& text) {
  return ReadDbc({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

const std::string HEADER = "VERSION \"\"\n\nNS_ :\n\tNS_DESC_\n\tCM_\n\tBA_DEF_\n\nBS_:\n\nBU_: ECU Dash\n\tGateway\n\n";

TEST(DbcReader, ReadsWhatItKnowsAndSkipsTheRest) {
  const DbcReadResult read = Read(HEADER + "VAL_TABLE_ Gears 0 \"P\" 1 \"R\" ;\n"
      "BO_ 2365522158 Engine: 8 ECU\n"
      " SG_ Mode M : 0|2@1+ (1,0) [0|3] \"\" Dash\n"
      " SG_ Rpm m1 : 8|16@1+ (0.25,0) [0|8000] \"rpm\" Dash,Gateway\n"
      " SG_ Temp m2 : 15|8@0- (1,-40) [-40|215] \"degC\"  Dash Gateway\n"
      " SG_ Ratio : 32|32@1- (1,0) [0|0] \"\" Dash\n\n"
      "BO_ 100 Gear: 1 ECU\n SG_ Gear : 0|4@1- (1,0) [0|0] \"\" Dash\n"
      "BO_TX_BU_ 100 : ECU,Dash;\n"
      "CM_ \"database\";\nCM_ BU_ ECU \"engine \\\"unit\\\"\";\nCM_ BO_ 100 \"gear\nlever\";\n"
      "CM_ SG_ 2365522158 Rpm \"engine speed\";\nCM_ SG_ 999 Nowhere \"ignored\";\n"
      "BA_DEF_ BO_ \"GenMsgCycleTime\" INT 0 65535;\nBA_DEF_DEF_ \"GenMsgCycleTime\" 0;\n"
      "BA_ \"GenMsgCycleTime\" BO_ 2365522158 100;\nBA_ \"Other\" BO_ 100 3;\n"
      "VAL_ 100 Gear 15 \"reverse\" 1 \"first\" 1 \"one\" ;\nVAL_ Envvar 1 \"x\" ;\n"
      "SIG_VALTYPE_ 2365522158 Ratio : 1;\nSIG_GROUP_ 100 G 1 : Gear;\n");
  ASSERT_TRUE(read.m_bOk) << read.ErrorText();
  const CDbcDatabase& db = read.m_database;
  ASSERT_EQ(db.Messages().size(), 2u);
  const DbcMessage* pEngine = db.Find(true, 0x0CFF00EE);
  ASSERT_NE(pEngine, nullptr);
  EXPECT_EQ(std::tuple(db.Find(false, 0x0CFF00EE), pEngine->m_nCycleTimeMs, pEngine->m_nMultiplexer), std::tuple(nullptr, 100u, 0));
  const DbcSignal& rpm = pEngine->m_signals[1];
  EXPECT_EQ(std::tie(rpm.m_nMultiplexValue, rpm.m_dFactor, rpm.m_strUnit, rpm.m_strComment, rpm.m_receivers),
            std::tuple(1, 0.25, "rpm", "engine speed", std::vector<std::string>{"Dash", "Gateway"}));
  const DbcSignal& temp = pEngine->m_signals[2];
  EXPECT_TRUE(temp.m_bBigEndian && temp.m_bSigned && temp.m_receivers.size() == 2);
  EXPECT_EQ(pEngine->m_signals[3].m_eValueType, EDbcValueType::FLOAT32);
  const DbcMessage* pGear = db.FindByName("Gear");
  ASSERT_NE(pGear, nullptr);
  EXPECT_EQ(pGear->m_strComment, "gear\nlever");
  // 15 of a signed 4-bit signal is its raw -1; of a value given twice the last text holds.
  const auto Text = [&](int64_t n) { const std::string* p = ValueText(pGear->m_signals[0], n); return p ? *p : "-"; };
  EXPECT_EQ(Text(-1) + " " + Text(1) + " " + Text(2), "reverse one -");
  ASSERT_EQ(db.ValueTables().size(), 1u);
  EXPECT_EQ(db.ValueTables()[0].second.size(), 2u);
}

TEST(DbcReader, RefusesWithLineAndColumn) {
  const std::string MSG = "BO_ 100 M: 8 ECU\n";
  const struct { std::string text; uint32_t nLine, nColumn; const char* pszReason; } kCases[] = {
      {MSG + " SG_ S : 60|8@1+ (1,0) [0|0] \"\" X\n", 2, 6, "does not fit"},
      {"BO_ 100 M: 1 ECU\n SG_ S : 0|8@0+ (1,0) [0|0] \"\" X\n", 2, 6, "does not fit"},  // big-endian from bit 0: into byte 1
      {MSG + " SG_ S : 0|8@2+ (1,0) [0|0] \"\" X\n", 2, 14, "'0' or '1'"},
      {MSG + " SG_ S : 0|0@1+ (1,0) [0|0] \"\" X\n", 2, 12, "a size from 1 to 64"},
      {MSG + " SG_ S : 0|8@1+ (1,x) [0|0] \"\" X\n", 2, 20, "number"},
      {MSG + " SG_ S x3 : 0|8@1+ (1,0) [0|0] \"\" X\n", 2, 8, "'M' or 'm'"},
      {MSG + " SG_ S : 0|8@1+ (1,0) [0|0] \"\" X\n SG_ S : 8|8@1+ (1,0) [0|0] \"\" X\n", 3, 6, "given twice"},
      {MSG + "BO_ 100 N: 8 ECU\n", 2, 5, "given twice"},
      {"BO_ 2048 M: 8 ECU\n", 1, 5, "not a CAN identifier"},
      {"BO_ 100 M: 65 ECU\n", 1, 12, "from 0 to 64"},
      {"\n SG_ S : 0|8@1+ (1,0) [0|0] \"\" X\n", 2, 5, "outside a message"},
      {"BA_DEF_ BO_ \"GenMsgCycleTime\" INT 0 65535\n", 2, 1, "not ended with ';'"},
      {"CM_ BO_ 100 \"open\n\n", 3, 1, "not closed"},
      {"BO_ 100 M: 8 ECU\n\x01\x02\xff", 2, 1, "keyword"},
      {std::string(100000, '('), 1, 1, "keyword"},
      {"BO_ 1 " + std::string(5000, 'A') + ": 8 E\n", 1, 1031, "name longer"},
      {"CM_ \"" + std::string(10 << 20, 'x') + "\";", 1, 65542, "text longer"},
  };
  for (const auto& c : kCases) {
    const DbcReadResult read = Read(c.text);
    const std::string what = c.text.substr(0, 60);
    EXPECT_EQ(std::tuple(read.m_bOk, read.m_nLine, read.m_nColumn, read.m_strError.find(c.pszReason) != std::string::npos,
                         read.m_database.Messages().size()),
              std::tuple(false, c.nLine, c.nColumn, true, 0u)) << what << " -> " << read.ErrorText();
  }
}

// Counts no file may grow past, each reached with the fewest bytes per entry.
TEST(DbcReader, BoundsHostileCounts) {
  std::string values = "BO_ 1 M: 8 E\n SG_ S : 0|8@1+ (1,0) [0|0] \"\" X\nVAL_ 1 S";
  for (int i = 0; i < 600000; ++i) values += " 1\"\"";
  std::string messages;
  for (int i = 0; i < 17000; ++i) messages += "BO_ " + std::to_string(0x80000000u + i) + " M: 0 E\n";
  std::string comments;
  for (int i = 0; i < 600000; ++i) comments += "CM_ \"\";";
  for (const std::string* pText : {&values, &messages, &comments}) {
    const DbcReadResult read = Read(*pText);
    EXPECT_TRUE(!read.m_bOk && read.m_strError.find("too many") != std::string::npos) << read.ErrorText();
  }
}

DbcSignal Signal(uint16_t wStart, uint8_t bySize, bool bBigEndian, bool bSigned, double dFactor = 1.0, double dOffset = 0.0,
                 EDbcValueType eType = EDbcValueType::INTEGER) {
  const std::string text = "BO_ 1 M: 8 E\n SG_ S : " + std::to_string(wStart) + "|" + std::to_string(bySize) + "@" +
                           (bBigEndian ? "0" : "1") + (bSigned ? "-" : "+") + " (1,0) [0|0] \"\" X\n";
  const DbcReadResult read = Read(text);
  EXPECT_TRUE(read.m_bOk) << read.ErrorText();
  DbcSignal signal = read.m_bOk ? read.m_database.Messages()[0].m_signals[0] : DbcSignal();
  signal.m_dFactor = dFactor;
  signal.m_dOffset = dOffset;
  signal.m_eValueType = eType;
  return signal;
}

TEST(SignalCodec, DecodesWorkedFrames) {
  const struct { const char* pszWhat; DbcSignal signal; std::vector<uint8_t> data; int64_t nRaw; double dPhysical; } kCases[] = {
      {"little 0|12 (0.5,-10)", Signal(0, 12, false, false, 0.5, -10), {0x34, 0x02}, 0x234, 272.0},
      {"little 4|16 signed", Signal(4, 16, false, true), {0x00, 0x00, 0x08}, -32768, -32768.0},
      {"little 0|8 signed", Signal(0, 8, false, true), {0xFF}, -1, -1.0},
      {"little 60|4 top nibble", Signal(60, 4, false, false), {0, 0, 0, 0, 0, 0, 0, 0xA0}, 0xA, 10.0},
      {"little 0|64 signed", Signal(0, 64, false, true), std::vector<uint8_t>(8, 0xFF), -1, -1.0},
      {"big 7|12", Signal(7, 12, true, false), {0x12, 0x30}, 0x123, 291.0},
      {"big 3|12 across bytes", Signal(3, 12, true, false), {0x0A, 0xBC}, 0xABC, 2748.0},
      {"big 7|64", Signal(7, 64, true, false), {1, 2, 0, 0, 0, 0, 0, 0}, 0x0102000000000000, 72620543991349248.0},
      {"big 55|16 signed", Signal(55, 16, true, true, 0.1), {0, 0, 0, 0, 0, 0, 0xFF, 0xFD}, -3, -3 * 0.1},
      {"big 0|1 low bit of byte 0", Signal(0, 1, true, false), {0x01}, 1, 1.0},
      {"float32 1.5", Signal(0, 32, false, true, 2, 0, EDbcValueType::FLOAT32), {0x00, 0x00, 0xC0, 0x3F}, 0x3FC00000, 3.0},
      {"float64 big -2", Signal(7, 64, true, false, 1, 1, EDbcValueType::FLOAT64), {0xC0, 0, 0, 0, 0, 0, 0, 0},
       int64_t(0xC000000000000000), -1.0},
  };
  for (const auto& c : kCases) {
    DecodedSignal value;
    ASSERT_TRUE(DecodeSignal(c.signal, c.data, value)) << c.pszWhat;
    EXPECT_EQ(std::pair(value.m_nRaw, value.m_dPhysical), std::pair(c.nRaw, c.dPhysical)) << c.pszWhat;
    // Written back into zeros the same value gives the same bytes.
    std::array<uint8_t, 8> abyData = {};
    const SignalEncodeResult encoded = EncodeSignal(c.signal, c.dPhysical, abyData);
    EXPECT_TRUE(encoded.m_bWritten && !encoded.m_bClamped) << c.pszWhat;
    EXPECT_TRUE(std::equal(c.data.begin(), c.data.end(), abyData.begin())) << c.pszWhat;
    // A frame one byte short of the signal does not hold it.
    EXPECT_FALSE(DecodeSignal(c.signal, std::span(c.data).first(c.signal.m_byEndByte - 1), value)) << c.pszWhat;
  }
}

TEST(SignalCodec, MultiplexedSignalsOnlyWithTheirValue) {
  const DbcReadResult read = Read("BO_ 1 M: 2 E\n SG_ Mux M : 0|4@1+ (1,0) [0|0] \"\" X\n SG_ A m1 : 8|8@1+ (1,0) [0|0] \"\" X\n"
                                  " SG_ B m2 : 8|8@1- (1,0) [0|0] \"\" X\n SG_ C : 4|4@1+ (1,0) [0|0] \"\" X\n");
  ASSERT_TRUE(read.m_bOk) << read.ErrorText();
  const DbcMessage& message = read.m_database.Messages()[0];
  std::vector<DecodedSignal> values;
  const struct { std::vector<uint8_t> data; std::vector<uint32_t> signals; } kCases[] = {
      {{0x01, 0xFF}, {0, 1, 3}}, {{0x02, 0xFF}, {0, 2, 3}}, {{0x03, 0xFF}, {0, 3}}, {{0x01}, {0, 3}}, {{}, {}}};
  for (const auto& c : kCases) {
    DecodeSignals(message, c.data, values);
    std::vector<uint32_t> signals;
    for (const DecodedSignal& value : values) signals.push_back(value.m_nSignal);
    EXPECT_EQ(signals, c.signals);
  }
}

TEST(SignalCodec, EncodingClampsToRangeAndField) {
  DbcSignal ranged = Signal(0, 12, false, false, 0.5, -10);
  ranged.m_dMinimum = -10;
  ranged.m_dMaximum = 100;
  const DbcSignal signedByte = Signal(15, 8, true, true);  // big-endian byte 1
  const struct { const DbcSignal* pSignal; double dIn; bool bClamped; double dOut; uint8_t by0, by1; } kCases[] = {
      {&ranged, 272.0, true, 100.0, 0xDC, 0x00},   // above the range: its maximum, raw 220
      {&ranged, 20.2, false, 20.0, 0x3C, 0x00},    // to the nearest step: raw 60.4 -> 60
      {&ranged, -50.0, true, -10.0, 0x00, 0x00},
      {&ranged, NAN, true, -10.0, 0x00, 0x00},
      {&signedByte, -200.0, true, -128.0, 0xAA, 0x80},  // no range given: the field's limits
      {&signedByte, 127.4, false, 127.0, 0xAA, 0x7F},
  };
  for (const auto& c : kCases) {
    std::array<uint8_t, 8> abyData = {0xAA, 0xAA};
    if (c.pSignal == &ranged) abyData = {0xFF, 0xF0};  // only the signal's 12 bits change
    const SignalEncodeResult result = EncodeSignal(*c.pSignal, c.dIn, abyData);
    EXPECT_EQ(std::tuple(result.m_bClamped, result.m_dPhysical, abyData[0], abyData[1]),
              std::tuple(c.bClamped, c.dOut, c.pSignal == &ranged ? c.by0 : 0xAA, c.pSignal == &ranged ? (0xF0 | c.by1) : c.by1)) << c.dIn;
  }
}

// The real files read whole; each signal's value of random bytes, encoded into other bytes, decodes the same.
TEST(SignalCodec, RealFilesReadWholeAndSignalsSurviveEncoding) {
  std::mt19937_64 random(20);
  const struct { const char* pszFile; std::size_t nMessages, nSignals; } kFiles[] = {
      {"tesla_can.dbc", 44, 572}, {"toyota_prius_2010_pt.dbc", 26, 78}, {"vw_mqb.dbc", 113, 1348}};
  for (const auto& [pszFile, nMessages, nSignals] : kFiles) {
    const DbcReadResult read = ReadDbcFile(std::string(KORVEX_DBC_DIR "/") + pszFile);
    ASSERT_TRUE(read.m_bOk) << pszFile << ": " << read.ErrorText();
    EXPECT_EQ(std::pair(read.m_database.Messages().size(), read.m_database.SignalCount()), std::pair(nMessages, nSignals)) << pszFile;
    for (const DbcMessage& message : read.m_database.Messages()) {
      for (const DbcSignal& signal : message.m_signals) {
        if (signal.m_eValueType != EDbcValueType::INTEGER || signal.m_dFactor == 0.0) continue;
        for (int i = 0; i < 8; ++i) {
          const uint64_t qwBytes = random();
          std::array<uint8_t, 8> abyIn, abyOut;
          std::memcpy(abyIn.data(), &qwBytes, 8);
          abyOut.fill(static_cast<uint8_t>(random()));
          DecodedSignal first, second;
          ASSERT_TRUE(DecodeSignal(signal, abyIn, first));
          DbcSignal unranged = signal;
          unranged.m_dMaximum = unranged.m_dMinimum;
          EncodeSignal(unranged, first.m_dPhysical, abyOut);
          ASSERT_TRUE(DecodeSignal(signal, abyOut, second));
          EXPECT_EQ(second.m_nRaw, first.m_nRaw) << pszFile << " " << signal.m_strName;
        }
      }
    }
  }
}

// Plot points follow the width, not the sample count, keeping every extreme; the ring keeps the newest.
TEST(SignalTrace, DecimatesToColumnsKeepingExtremes) {
  CSignalTrace trace(0, 0, 100000);
  for (int i = 0; i < 100000; ++i) trace.Add(int64_t{i} * 100000, i == 50001 ? 1000.0 : i == 70001 ? -1000.0 : std::sin(i / 500.0));
  std::vector<SignalSample> points;
  trace.Decimate(0, int64_t{100000} * 100000, 200, points);
  EXPECT_TRUE(points.size() >= 200 && points.size() <= 4 * 200) << points.size();
  EXPECT_TRUE(std::is_sorted(points.begin(), points.end(), [](auto& a, auto& b) { return a.m_nSteadyNs < b.m_nSteadyNs; }));
  EXPECT_EQ(std::max_element(points.begin(), points.end(), [](auto& a, auto& b) { return a.m_dValue < b.m_dValue; })->m_dValue, 1000.0);
  EXPECT_EQ(std::min_element(points.begin(), points.end(), [](auto& a, auto& b) { return a.m_dValue < b.m_dValue; })->m_dValue, -1000.0);
  // A span after the last sample still starts with the sample before it.
  trace.Decimate(int64_t{200000} * 100000, int64_t{300000} * 100000, 200, points);
  EXPECT_TRUE(points.size() == 1 && points[0].m_nSteadyNs == int64_t{99999} * 100000);
  CSignalTrace small(0, 0, 3);
  for (int i = 0; i < 5; ++i) small.Add(i, i);
  ASSERT_EQ(small.Size(), 3u);
  EXPECT_EQ(std::pair(small[0].m_dValue, small.At(3)->m_dValue), std::pair(2.0, 3.0));
}

// Only traced signals of known frames are kept, multiplexed ones under their value.
TEST(SignalTracker, TracesChosenSignalsFromFrames) {
  DbcReadResult read = Read("BO_ 256 M: 2 E\n SG_ Mux M : 0|4@1+ (1,0) [0|0] \"\" X\n SG_ A m1 : 8|8@1+ (2,0) [0|0] \"\" X\n");
  ASSERT_TRUE(read.m_bOk);
  CSignalTracker tracker;
  tracker.SetDatabase(std::make_shared<const CDbcDatabase>(std::move(read.m_database)));
  EXPECT_EQ(tracker.AddTrace(0, 1) + tracker.AddTrace(0, 1), 0u);  // the second is the same trace
  std::vector<ReceivedFrame> frames(4);
  const uint8_t abyMux[] = {1, 2, 1, 1};
  for (std::size_t i = 0; i < frames.size(); ++i)
    frames[i] = {TestFrame(true, false, 2, i == 3 ? 0x101 : 0x100, {abyMux[i], static_cast<uint8_t>(10 + i)}),
                 {static_cast<int64_t>(i) * 1000, 0}};
  tracker.OnFrames(frames);
  const CSignalTrace& trace = tracker.Traces()[0];
  ASSERT_EQ(trace.Size(), 2u);
  EXPECT_EQ(std::tuple(trace[0].m_dValue, trace[1].m_dValue, tracker.NewestNs()), std::tuple(20.0, 24.0, 3000));
  // The message's newest bytes and its mean cycle; 0x101 is no message of the database.
  ASSERT_EQ(tracker.Messages().size(), 1u);
  const auto& message = tracker.Messages()[0];
  EXPECT_EQ(std::tuple(message.m_qwCount, message.m_abyData[1], message.MeanCycleMs()), std::tuple(3u, 12, 0.001));
  // Drift: more than 10 % either way, only with both cycles.
  const struct { uint32_t nExpected; double dMeasured; bool bDrifts; } kCycles[] = {
      {100, 110.0, false}, {100, 110.5, true}, {100, 89.0, true}, {0, 500.0, false}, {100, 0.0, false}};
  for (const auto& c : kCycles) EXPECT_EQ(CycleDrifts(c.nExpected, c.dMeasured), c.bDrifts) << c.nExpected << " " << c.dMeasured;
}

}  // namespace
