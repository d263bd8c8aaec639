// Writes pictures of the configuration, log path and transmit frame dialogs, the about box and
// a question box (the toolkit's own buttons, in the language too) for the documentation:
//   xvfb-run -a build/docs/dialog-screenshots docs [-en]
// A second argument is put before ".png" (pictures of another language beside the Korean ones).
// Example ports and settings only; nothing of the user's is read.
#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include "app/CAboutDlg.h"
#include "app/CQtMessageSink.h"
#include "config/CModuleConfigDlg.h"
#include "docs/ScreenshotSupport.h"
#include "link/SerialPortDiscovery.h"
#include "receive/CLogPathDlg.h"
#include "resources/StringTable.h"
#include "transmit/CTDataDlg.h"

int main(int argc, char** argv) {
  const QDir target(QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")).absolutePath());
  const CScratchHome scratch;  // the toolkit's runtime directory, too; the working directory from here on
  QApplication application(argc, argv);
  InstallLocaleLanguage();
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
  CAboutDlg about;
  about.show();
  QMessageBox question;
  const std::string path = "/home/user/Korvex/bench.ctd";
  CQtMessageSink::Fill(question, {.m_nStringId = IDS_TFILE_OVERWRITE,
                                  .m_strText = path + " 파일이 이미 있읍니다\n파일을 덮어 쓰시겠읍니까?",
                                  .m_eIcon = EMessageIcon::QUESTION,
                                  .m_eButtons = EMessageButtons::YES_NO,
                                  .m_strValue = path});
  question.show();
  QApplication::processEvents();  // a one-shot tool: let the windows lay out before the grab

  const bool bSaved = config.grab().save(target.filePath(QStringLiteral("config-dialog") + suffix)) &&
                      logPaths.grab().save(target.filePath(QStringLiteral("log-path-dialog") + suffix)) &&
                      frame.grab().save(target.filePath(QStringLiteral("transmit-dialog") + suffix)) &&
                      about.grab().save(target.filePath(QStringLiteral("about-dialog") + suffix)) &&
                      question.grab().save(target.filePath(QStringLiteral("question-box") + suffix));
  return bSaved ? 0 : 1;
}
