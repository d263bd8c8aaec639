// Writes pictures of the configuration, log path and transmit frame dialogs for the
// documentation:
//   xvfb-run -a build/docs/dialog-screenshots docs [-en]
// A second argument is put before ".png" (pictures of another language beside the Korean ones).
// Example ports and settings only; nothing of the user's is read.
#include <QApplication>
#include <QDir>

#include "config/CModuleConfigDlg.h"
#include "docs/ScreenshotSupport.h"
#include "link/SerialPortDiscovery.h"
#include "receive/CLogPathDlg.h"
#include "transmit/CTDataDlg.h"

int main(int argc, char** argv) {
  const CScratchHome scratch;  // the toolkit's runtime directory, too
  QApplication application(argc, argv);
  InstallLocaleLanguage();
  const QDir target(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  const QString suffix = (argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString()) + QStringLiteral(".png");

  CPortLists ports;
  ports.m_serialPorts = {{"ttyS0", "/dev/ttyS0", "ttyS0", 0},
                         {"ttyUSB0", "/dev/ttyUSB0", "Ostwind USB Korvex Analyzer Device (ttyUSB0)", 1}};
  ports.m_usbSerialNumbers = {"KX000123"};
  ports.FixPortsAvailable();
  ModuleSettings settings;
  settings.m_nPortMode = PORT_MODE_SERIAL;
  settings.m_nSerialPortIndex = 1;
  settings.m_nBaudRate = BAUD_RATE_FAST;
  settings.m_dwMaskId = 0x1FFFFFFF;
  settings.m_dwId = 0x123;
  CModuleConfigDlg config(settings, ports);
  config.show();
  CLogPathDlg logPaths("/home/user/Korvex/Log/RDataLog.txt", "/home/user/Korvex/Log/EventLog.txt");
  logPaths.show();
  CTDataDlg frame({.bStandardID = 0, .bDataFrame = 1, .bHexFormat = 1, .byLength = 3, .dwID = 0x18DAF110,
                   .dwBytes0to3 = 0x02100300});
  frame.show();
  QApplication::processEvents();  // a one-shot tool: let the windows lay out before the grab

  const bool bSaved = config.grab().save(target.filePath(QStringLiteral("config-dialog") + suffix)) &&
                      logPaths.grab().save(target.filePath(QStringLiteral("log-path-dialog") + suffix)) &&
                      frame.grab().save(target.filePath(QStringLiteral("transmit-dialog") + suffix));
  return bSaved ? 0 : 1;
}
