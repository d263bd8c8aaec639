#pragma once
// A system error number in words for a Korean window, where strerror would be English.
//   ENOENT -> "파일이나 디렉터리가 없읍니다"     an unlisted number -> "시스템 오류 (번호 123)"
#include <string>

std::string SystemErrorText(int nError);
