#include "transmit/SystemErrorText.h"

#include <cerrno>
#include <utility>

namespace {

// What a file's open, read, write, sync or rename can give.
constexpr std::pair<int, const char*> ERROR_TEXTS[] = {
    {ENOENT, "파일이나 디렉터리가 없읍니다"},
    {EACCES, "접근 권한이 없읍니다"},
    {EPERM, "허용되지 않은 작업입니다"},
    {EROFS, "읽기 전용 파일 시스템입니다"},
    {ENOSPC, "디스크 공간이 부족합니다"},
    {EDQUOT, "디스크 사용 한도를 넘었읍니다"},
    {EFBIG, "파일이 너무 큽니다"},
    {EIO, "입출력 오류가 났읍니다"},
    {EISDIR, "디렉터리입니다"},
    {ENOTDIR, "경로 중에 디렉터리가 아닌 것이 있읍니다"},
    {ENAMETOOLONG, "파일 이름이 너무 깁니다"},
    {ELOOP, "심볼릭 링크가 끝없이 이어집니다"},
    {EMFILE, "열린 파일이 너무 많읍니다"},
    {ENFILE, "열린 파일이 너무 많읍니다"},
    {ETXTBSY, "파일이 사용 중입니다"},
    {EBUSY, "파일이 사용 중입니다"},
    {EXDEV, "다른 파일 시스템으로는 옮길 수 없읍니다"},
    {ENXIO, "장치가 없읍니다"},
    {ENODEV, "장치가 없읍니다"},
    {ENOMEM, "메모리가 부족합니다"},
    {EEXIST, "같은 이름의 파일이 이미 있읍니다"},
    {EINVAL, "잘못된 요청입니다"},
    {EOPNOTSUPP, "이 파일 시스템에서는 할 수 없는 작업입니다"},
    {ESTALE, "파일 핸들이 더 이상 유효하지 않읍니다"},
};

}  // namespace

std::string SystemErrorText(int nError) {
  for (const auto& [nKnown, pszText] : ERROR_TEXTS)
    if (nKnown == nError) return pszText;
  return "시스템 오류 (번호 " + std::to_string(nError) + ")";
}
