#pragma once
// The part of the FTDI D2XX interface (Linux build of the library) that this program calls,
// declared from the library's public documentation: scalar types, records, constants and the
// signatures of the entry points, which CD2xxLibrary resolves by name at run time.
// Linux D2XX: DWORD is 32 bits, ULONG (and so FT_STATUS) is a C long.
#include <pthread.h>

#include <cstdint>

using FT_HANDLE = void*;
using FT_STATUS = unsigned long;
using D2XX_DWORD = uint32_t;
using D2XX_BOOL = int32_t;  // nonzero is success for the Win32-compatible calls

constexpr FT_STATUS FT_OK = 0;
inline const FT_HANDLE FT_INVALID_HANDLE = reinterpret_cast<FT_HANDLE>(~uintptr_t{0});  // (HANDLE)-1

// FT_W32_CreateFile
constexpr D2XX_DWORD FT_GENERIC_READ = 0x80000000;
constexpr D2XX_DWORD FT_GENERIC_WRITE = 0x40000000;
constexpr D2XX_DWORD FT_OPEN_EXISTING = 3;
constexpr D2XX_DWORD FT_FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr D2XX_DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr D2XX_DWORD FT_OPEN_BY_DESCRIPTION = 2;

// FT_ListDevices
constexpr D2XX_DWORD FT_LIST_NUMBER_ONLY = 0x80000000;
constexpr D2XX_DWORD FT_LIST_BY_INDEX = 0x40000000;

// Comm mask, event notification, purge
constexpr unsigned long FT_EV_RXCHAR = 0x0001;
constexpr D2XX_DWORD FT_EVENT_RXCHAR = 1;
constexpr D2XX_DWORD FT_PURGE_ALL = 0x0F;  // transmit and receive, abort and clear

// Device-control record; 28 bytes, like the Windows DCB.
struct FTDCB {
  D2XX_DWORD DCBlength;
  D2XX_DWORD BaudRate;
  D2XX_DWORD fBinary : 1;
  D2XX_DWORD fParity : 1;
  D2XX_DWORD fOutxCtsFlow : 1;
  D2XX_DWORD fOutxDsrFlow : 1;
  D2XX_DWORD fDtrControl : 2;
  D2XX_DWORD fDsrSensitivity : 1;
  D2XX_DWORD fTXContinueOnXoff : 1;
  D2XX_DWORD fOutX : 1;
  D2XX_DWORD fInX : 1;
  D2XX_DWORD fErrorChar : 1;
  D2XX_DWORD fNull : 1;
  D2XX_DWORD fRtsControl : 2;
  D2XX_DWORD fAbortOnError : 1;
  D2XX_DWORD fDummy2 : 17;
  uint16_t wReserved;
  uint16_t XonLim;
  uint16_t XoffLim;
  uint8_t ByteSize;
  uint8_t Parity;    // 0 = none
  uint8_t StopBits;  // 0 = one stop bit
  char XonChar;
  char XoffChar;
  char ErrorChar;
  char EofChar;
  char EvtChar;
  uint16_t wReserved1;
};
static_assert(sizeof(FTDCB) == 28, "device-control record must match the library's layout");

struct FTTIMEOUTS {
  D2XX_DWORD ReadIntervalTimeout;
  D2XX_DWORD ReadTotalTimeoutMultiplier;
  D2XX_DWORD ReadTotalTimeoutConstant;
  D2XX_DWORD WriteTotalTimeoutMultiplier;
  D2XX_DWORD WriteTotalTimeoutConstant;
};

struct FTCOMSTAT {
  D2XX_DWORD dwFlags;  // hold and end-of-file bits, unused here
  D2XX_DWORD cbInQue;  // bytes waiting in the input queue
  D2XX_DWORD cbOutQue;
};
static_assert(sizeof(FTCOMSTAT) == 12, "status record must match the library's layout");

// What FT_SetEventNotification signals on Linux: the library locks eMutex and signals
// eCondVar when an enabled event occurs.
struct FT_EVENT_HANDLE {
  pthread_cond_t eCondVar;
  pthread_mutex_t eMutex;
  int iVar;
};

// Entry points, named as the library exports them.
using PFN_FT_ListDevices = FT_STATUS (*)(void* pArg1, void* pArg2, D2XX_DWORD dwFlags);
using PFN_FT_W32_CreateFile = FT_HANDLE (*)(const char* pszName, D2XX_DWORD dwAccess,
                                            D2XX_DWORD dwShareMode, void* pSecurity,
                                            D2XX_DWORD dwCreate, D2XX_DWORD dwAttrsAndFlags,
                                            void* hTemplate);
using PFN_FT_W32_CloseHandle = D2XX_BOOL (*)(FT_HANDLE h);
using PFN_FT_ResetDevice = FT_STATUS (*)(FT_HANDLE h);
using PFN_FT_GetLatencyTimer = FT_STATUS (*)(FT_HANDLE h, uint8_t* pbyTimer);
using PFN_FT_SetLatencyTimer = FT_STATUS (*)(FT_HANDLE h, uint8_t byTimer);
using PFN_FT_W32_SetCommMask = D2XX_BOOL (*)(FT_HANDLE h, unsigned long ulEventMask);
using PFN_FT_W32_SetupComm = D2XX_BOOL (*)(FT_HANDLE h, D2XX_DWORD dwReadBufferSize,
                                          D2XX_DWORD dwWriteBufferSize);
using PFN_FT_W32_PurgeComm = D2XX_BOOL (*)(FT_HANDLE h, D2XX_DWORD dwMask);
using PFN_FT_W32_SetCommTimeouts = D2XX_BOOL (*)(FT_HANDLE h, FTTIMEOUTS* pTimeouts);
using PFN_FT_W32_GetCommState = D2XX_BOOL (*)(FT_HANDLE h, FTDCB* pDcb);
using PFN_FT_W32_SetCommState = D2XX_BOOL (*)(FT_HANDLE h, FTDCB* pDcb);
using PFN_FT_SetEventNotification = FT_STATUS (*)(FT_HANDLE h, D2XX_DWORD dwMask, void* pParam);
using PFN_FT_W32_ClearCommError = D2XX_BOOL (*)(FT_HANDLE h, D2XX_DWORD* pdwErrors,
                                               FTCOMSTAT* pComstat);
using PFN_FT_W32_ReadFile = D2XX_BOOL (*)(FT_HANDLE h, void* pBuffer, D2XX_DWORD dwToRead,
                                         D2XX_DWORD* pdwRead, void* pOverlapped);
using PFN_FT_W32_WriteFile = D2XX_BOOL (*)(FT_HANDLE h, void* pBuffer, D2XX_DWORD dwToWrite,
                                          D2XX_DWORD* pdwWritten, void* pOverlapped);
