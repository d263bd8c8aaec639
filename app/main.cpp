// korvex-analyzer: the window of the Korvex CAN analyzer.
#include <QApplication>

#include "app/CAnalyzerApp.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Ties the window to the installed desktop entry (its icon and name on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.ostwind.KorvexAnalyzer"));
  std::vector<std::string> args;  // Qt has taken its own options out
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  CAnalyzerApp analyzer;
  int nExitCode = 0;
  if (!analyzer.InitInstance(args, nExitCode)) return nExitCode;
  return QApplication::exec();
}
