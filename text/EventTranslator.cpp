#include "text/EventTranslator.h"

#include <algorithm>
#include <iterator>

#include "text/Cp949Text.h"
#include "text/Translatable.h"

namespace {

constexpr const char* PHRASES[] = {
    // Titles of the module's responses and of the program's own reports.
    KX_TRANSLATE_NOOP("Events", "[Korvex 환경설정 읽기 응답]"),
    KX_TRANSLATE_NOOP("Events", "[Korvex 환경설정 쓰기 응답]"),
    KX_TRANSLATE_NOOP("Events", "[CAN 데이터 수신 여부 응답]"),
    KX_TRANSLATE_NOOP("Events", "[CAN 리셋 응답]"),
    KX_TRANSLATE_NOOP("Events", "[CAN 에러코드 응답]"),
    KX_TRANSLATE_NOOP("Events", "[Korvex 버전 응답]"),
    KX_TRANSLATE_NOOP("Events", "[CAN 데이터 송신 응답]"),
    KX_TRANSLATE_NOOP("Events", "[Korvex 주기 전송 정지]"),
    KX_TRANSLATE_NOOP("Events", "[Korvex 통신포트 에러]"),
    KX_TRANSLATE_NOOP("Events", "[Korvex 통신에러 발생]"),
    KX_TRANSLATE_NOOP("Events", "[로그 재생]"),
    KX_TRANSLATE_NOOP("Events", "[기록 파일]"),
    KX_TRANSLATE_NOOP("Events", "[기록 파일 에러]"),
    KX_TRANSLATE_NOOP("Events", "[수신데이터 로그파일 에러]"),
    KX_TRANSLATE_NOOP("Events", "[수신데이터 로그동작 중지]"),
    KX_TRANSLATE_NOOP("Events", "[수신데이터 로그파일 보관]"),
    KX_TRANSLATE_NOOP("Events", "[이벤트 로그파일 에러]"),
    KX_TRANSLATE_NOOP("Events", "[이벤트 로그 동작 중지]"),
    KX_TRANSLATE_NOOP("Events", "[이벤트 로그파일 보관]"),
    // What the responses report.
    KX_TRANSLATE_NOOP("Events", "CAN 데이터 수신 동작 중"),
    KX_TRANSLATE_NOOP("Events", "CAN 데이터 수신 중지 중"),
    KX_TRANSLATE_NOOP("Events", " 에러 발생"),
    KX_TRANSLATE_NOOP("Events", "수신 Error-Passive"),
    KX_TRANSLATE_NOOP("Events", "송신 Error-Passive"),
    KX_TRANSLATE_NOOP("Events", "수신 Warning"),
    KX_TRANSLATE_NOOP("Events", "송신 Warning"),
    KX_TRANSLATE_NOOP("Events", "버전 %1"),
    KX_TRANSLATE_NOOP("Events", "수신 ID:"),
    KX_TRANSLATE_NOOP("Events", "수신 Mask ID:"),
    KX_TRANSLATE_NOOP("Events", "길이:"),
    KX_TRANSLATE_NOOP("Events", "데이터:"),
    // The port and the cyclic frames.
    KX_TRANSLATE_NOOP("Events", "포트를 닫았읍니다"),
    KX_TRANSLATE_NOOP("Events", "모든 주기 송신을 중지했읍니다"),
    KX_TRANSLATE_NOOP("Events", "통신 포트가 끊어졌읍니다 (장치가 분리됨)"),
    KX_TRANSLATE_NOOP("Events", "통신 포트가 끊어졌읍니다"),
    KX_TRANSLATE_NOOP("Events", "Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다"),
    KX_TRANSLATE_NOOP("Events", "통신에러"),
    KX_TRANSLATE_NOOP("Events", "지정한 USB 통신 포트를 여는데 실패했읍니다"),
    KX_TRANSLATE_NOOP("Events", "지정한 시리얼 통신 포트를 여는데 실패했읍니다"),
    // The log files.
    KX_TRANSLATE_NOOP("Events", "수신데이터 로그파일을 여는데 실패했읍니다"),
    KX_TRANSLATE_NOOP("Events", "수신데이터 로그파일에 기록하는데 실패했읍니다"),
    KX_TRANSLATE_NOOP("Events", "수신데이터 로그파일이 100MB를 초과하여 로깅동작을 중지합니다"),
    KX_TRANSLATE_NOOP("Events", "수신데이터 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: "),
    KX_TRANSLATE_NOOP("Events", "이벤트 로그파일을 여는데 실패했읍니다"),
    KX_TRANSLATE_NOOP("Events", "이벤트 로그파일에 기록하는데 실패했읍니다"),
    KX_TRANSLATE_NOOP("Events", "이벤트 로그파일이 100MB를 초과하여 로깅동작을 중지합니다"),
    KX_TRANSLATE_NOOP("Events", "이벤트 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: "),
    // Recording and replaying.
    KX_TRANSLATE_NOOP("Events", "기록 파일에 쓰는데 실패하여 기록을 중지합니다 ("),
    KX_TRANSLATE_NOOP("Events", "기록 파일을 여는데 실패했읍니다 ("),
    KX_TRANSLATE_NOOP("Events", "기록을 시작합니다: "),
    KX_TRANSLATE_NOOP("Events", "기록 파일을 닫는데 실패했읍니다 ("),
    KX_TRANSLATE_NOOP("Events", "기록을 마쳤읍니다: 프레임 %1개 ("),
    KX_TRANSLATE_NOOP("Events", "통신 포트가 사라져 기록을 중지합니다 ("),
    KX_TRANSLATE_NOOP("Events", "완료: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms"),
    KX_TRANSLATE_NOOP("Events", "중지: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms"),
    KX_TRANSLATE_NOOP("Events", "포트가 닫혀 중지: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms"),
    // Why a file could not be read or written (beside a message, or in an event).
    KX_TRANSLATE_NOOP("Events", "파일이나 디렉터리가 없읍니다"),
    KX_TRANSLATE_NOOP("Events", "접근 권한이 없읍니다"),
    KX_TRANSLATE_NOOP("Events", "허용되지 않은 작업입니다"),
    KX_TRANSLATE_NOOP("Events", "읽기 전용 파일 시스템입니다"),
    KX_TRANSLATE_NOOP("Events", "디스크 공간이 부족합니다"),
    KX_TRANSLATE_NOOP("Events", "디스크 사용 한도를 넘었읍니다"),
    KX_TRANSLATE_NOOP("Events", "파일이 너무 큽니다"),
    KX_TRANSLATE_NOOP("Events", "입출력 오류가 났읍니다"),
    KX_TRANSLATE_NOOP("Events", "디렉터리입니다"),
    KX_TRANSLATE_NOOP("Events", "경로 중에 디렉터리가 아닌 것이 있읍니다"),
    KX_TRANSLATE_NOOP("Events", "파일 이름이 너무 깁니다"),
    KX_TRANSLATE_NOOP("Events", "심볼릭 링크가 끝없이 이어집니다"),
    KX_TRANSLATE_NOOP("Events", "열린 파일이 너무 많읍니다"),
    KX_TRANSLATE_NOOP("Events", "파일이 사용 중입니다"),
    KX_TRANSLATE_NOOP("Events", "다른 파일 시스템으로는 옮길 수 없읍니다"),
    KX_TRANSLATE_NOOP("Events", "장치가 없읍니다"),
    KX_TRANSLATE_NOOP("Events", "메모리가 부족합니다"),
    KX_TRANSLATE_NOOP("Events", "같은 이름의 파일이 이미 있읍니다"),
    KX_TRANSLATE_NOOP("Events", "잘못된 요청입니다"),
    KX_TRANSLATE_NOOP("Events", "이 파일 시스템에서는 할 수 없는 작업입니다"),
    KX_TRANSLATE_NOOP("Events", "파일 핸들이 더 이상 유효하지 않읍니다"),
    KX_TRANSLATE_NOOP("Events", "시스템 오류 (번호 %1)"),
    KX_TRANSLATE_NOOP("Events", "일반 파일이 아닙니다 (디렉터리)"),
    KX_TRANSLATE_NOOP("Events", "일반 파일이 아닙니다 (파이프)"),
    KX_TRANSLATE_NOOP("Events", "일반 파일이 아닙니다 (장치)"),
    KX_TRANSLATE_NOOP("Events", "일반 파일이 아닙니다"),
    KX_TRANSLATE_NOOP("Events", "링크가 가리키는 파일이 없읍니다"),
    KX_TRANSLATE_NOOP("Events", "디스크에 기록하지 못했읍니다"),
    KX_TRANSLATE_NOOP("Events", "새 파일에 이름을 붙이지 못했읍니다"),
    KX_TRANSLATE_NOOP("Events", "파일을 닫지 못했읍니다"),
    KX_TRANSLATE_NOOP("Events", "파일을 바꾸지 못했읍니다"),
    KX_TRANSLATE_NOOP("Events", "새 파일을 만들지 못했읍니다"),
    KX_TRANSLATE_NOOP("Events", "쓰지 못했읍니다"),
    KX_TRANSLATE_NOOP("Events", "파일을 열지 못했읍니다"),
    KX_TRANSLATE_NOOP("Events", "저장하는 동안 다른 파일로 바뀌었읍니다"),
    KX_TRANSLATE_NOOP("Events", "공간을 확보하지 못했읍니다"),
    KX_TRANSLATE_NOOP("Events", "송신 파일이 아닙니다 (파일 서명이 다릅니다)"),
    KX_TRANSLATE_NOOP("Events", "송신 파일이 아닙니다 (목록 이름이 다릅니다)"),
    KX_TRANSLATE_NOOP("Events", "파일이 손상되었읍니다 (기록된 개수보다 데이터가 적읍니다)"),
    KX_TRANSLATE_NOOP("Events", "파일이 손상되었읍니다 (마지막 항목 전에 파일이 끝납니다)"),
    KX_TRANSLATE_NOOP("Events", "파일이 손상되었읍니다 (송신 주기 블록이 올바르지 않습니다)"),
};

constexpr std::size_t MAX_NUMBERS = 9;  // %1 ... %9

bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// "버전 %1" -> {"버전 ", ""}; the numbers are taken in order, %1 first.
std::vector<std::string> SplitAtNumbers(std::string_view phrase) {
  std::vector<std::string> literals(1);
  for (std::size_t i = 0; i < phrase.size(); ++i) {
    if (phrase[i] == '%' && i + 1 < phrase.size() && phrase[i + 1] >= '1' && phrase[i + 1] <= '9' &&
        literals.size() <= MAX_NUMBERS) {
      literals.emplace_back();
      ++i;
    } else {
      literals.back() += phrase[i];
    }
  }
  return literals;
}

}  // namespace

void AppendFilled(std::string_view text, std::span<const std::string_view> values, std::string& out) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t nIndex = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : MAX_NUMBERS;
    if (text[i] == '%' && nIndex < values.size()) {
      out += values[nIndex];
      ++i;
    } else {
      out += text[i];
    }
  }
}

std::vector<const char*> CEventTranslator::Phrases() { return {std::begin(PHRASES), std::end(PHRASES)}; }

CEventTranslator::CEventTranslator(const PhraseLookup& fnLookup) {
  for (const char* pszPhrase : PHRASES) {
    std::string translation = fnLookup(pszPhrase);
    if (translation.empty() || translation == pszPhrase) continue;
    m_phrases.push_back({SplitAtNumbers(pszPhrase), std::move(translation)});
  }
  // A phrase inside a longer one ("통신 포트가 끊어졌읍니다") must not cut the longer one short.
  std::stable_sort(m_phrases.begin(), m_phrases.end(), [](const CPhrase& a, const CPhrase& b) {
    return a.m_literals.front().size() > b.m_literals.front().size();
  });
  for (std::size_t i = 0; i < m_phrases.size(); ++i) {
    const std::string& first = m_phrases[i].m_literals.front();
    if (!first.empty()) m_byFirstByte[static_cast<unsigned char>(first[0])].push_back(i);
  }
}

std::size_t CEventTranslator::TranslateAt(std::string_view text, std::string& out) const {
  for (const std::size_t nPhrase : m_byFirstByte[static_cast<unsigned char>(text[0])]) {
    const CPhrase& phrase = m_phrases[nPhrase];
    std::vector<std::string_view> numbers;
    std::size_t nAt = 0;
    bool bMatched = true;
    for (std::size_t n = 0; bMatched && n < phrase.m_literals.size(); ++n) {
      if (n > 0) {
        const std::size_t nStart = nAt;
        while (nAt < text.size() && IsNumberChar(text[nAt])) ++nAt;
        numbers.push_back(text.substr(nStart, nAt - nStart));
        bMatched = nAt > nStart;
      }
      const std::string& literal = phrase.m_literals[n];
      bMatched = bMatched && text.substr(nAt).starts_with(literal);
      nAt += literal.size();
    }
    if (!bMatched) continue;
    AppendFilled(phrase.m_translation, numbers, out);
    return nAt;
  }
  return 0;
}

std::string CEventTranslator::TranslatePhrases(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    std::size_t nTaken = TranslateAt(text, out);
    if (nTaken == 0) {
      // One whole character: a phrase never starts inside another one's UTF-8 sequence.
      nTaken = 1;
      while (nTaken < text.size() && (static_cast<unsigned char>(text[nTaken]) & 0xC0) == 0x80) ++nTaken;
      out.append(text.substr(0, nTaken));
    }
    text.remove_prefix(nTaken);
  }
  return out;
}

std::string CEventTranslator::Translate(std::string_view text) const {
  if (!IsActive()) return std::string(text);
  // "[title]<blanks to column 27> : detail", as FormatEventText made it.
  const std::size_t nTitleEnd = text.starts_with('[') ? text.find(']') : std::string_view::npos;
  if (nTitleEnd != std::string_view::npos) {
    const std::size_t nColon = text.find_first_not_of(' ', nTitleEnd + 1);
    if (nColon != std::string_view::npos && nColon > nTitleEnd + 1 && text.substr(nColon).starts_with(": "))
      return FormatEventText(TranslatePhrases(text.substr(0, nTitleEnd + 1)), TranslatePhrases(text.substr(nColon + 2)));
  }
  return TranslatePhrases(text);
}
