#include "app/CAnalyzerApp.h"

#include <cstdio>
#include <filesystem>

#include "app/CMainFrame.h"
#include "transmit/CLeftView.h"
#include "uisupport/QtText.h"
#include "link/PortDiscovery.h"
#include "resources/StringTable.h"
#include "sim/CSimThread.h"
#include "app/CWorkspaceState.h"
#include "uisupport/Translations.h"

namespace {

// The working directory + "/Log", made if it is missing (a failure shows later, when a log
// file cannot be opened).
std::string PrepareLogDirectory() {
  std::error_code error;
  std::string directory = std::filesystem::current_path(error).string();
  while (!directory.empty() && directory.back() == '/') directory.pop_back();
  directory += "/Log";
  std::filesystem::create_directory(directory, error);
  return directory;
}

int FindSerialPort(const CPortLists& ports, const std::string& devicePath) {
  for (int i = 0; i < ports.SerialPortCount(); ++i)
    if (ports.m_serialPorts[static_cast<size_t>(i)].m_strDevicePath == devicePath) return i;
  return -1;
}

}  // namespace

CAnalyzerApp::CAnalyzerApp() = default;

CAnalyzerApp::~CAnalyzerApp() {
  m_pFrame.reset();  // closes the port and forgets the channel before the channel goes
  SetMessageSink(m_pPreviousSink);
  if (m_pSim) m_pSim->Stop();
}

bool CAnalyzerApp::InitInstance(const CAnalyzerOptions& options, int& nExitCode) {
  // Before the first widget: every text is taken in the language when it is made.
  const ELanguage eLanguage = ChooseLanguage(
      options.m_strLanguage, m_store.GetString(VIEW_SECTION, SETTING_LANGUAGE).value_or(std::string()),
      CurrentLocaleEnvironment());
  if (!options.m_strLanguage.empty()) m_store.SetString(VIEW_SECTION, SETTING_LANGUAGE, options.m_strLanguage);
  if (!InstallTranslations(eLanguage) && eLanguage == ELanguage::ENGLISH)
    std::fprintf(stderr, "korvex-analyzer: the English translation could not be loaded\n");
  m_activation.Listen();
  m_bSecondaryInstance = m_guard.TooManyInstances(true);

  std::vector<CCommandLinePort> commandLinePorts = options.m_ports;
  const std::string logDirectory = PrepareLogDirectory();
  std::string simPath;
  if (options.m_bSimulate) {
    m_pSim = std::make_unique<CSimThread>();
    m_pSim->Module().SetTraffic(CSimModule::TRAFFIC_BUS);
    std::string error;
    if (!m_pSim->Start(error)) {
      std::fprintf(stderr, "korvex-analyzer: the simulated module did not start: %s\n", error.c_str());
      nExitCode = 1;
      return false;
    }
    simPath = m_pSim->SlavePath();
    commandLinePorts.push_back({simPath, true});
  }
  m_ports = DiscoverPorts(commandLinePorts);
  if (!m_ports.m_strError.empty()) std::fprintf(stderr, "korvex-analyzer: %s\n", m_ports.m_strError.c_str());

  m_pPreviousSink = SetMessageSink(&m_messageSink);
  CFrameSetup setup;
  setup.m_pChannel = &m_channel;
  setup.m_pChannelWindow = &m_channelWindow;
  setup.m_pPorts = &m_ports;
  setup.m_pStore = &m_store;
  setup.m_strLogDirectory = logDirectory;
  setup.m_bSecondaryInstance = m_bSecondaryInstance;
  setup.m_nSimulatedPort = options.m_bSimulate ? FindSerialPort(m_ports, simPath) : -1;
  setup.m_fnMakeWindow = [](MessageHandler& handler) { return std::make_unique<CQtMessageHost>(handler); };
  m_pFrame = std::make_unique<CMainFrame>(setup);

  m_pFrame->restoreGeometry(CWorkspaceState(m_store).Load(WINDOW_STATE_NAME));
  m_pFrame->show();
  m_pFrame->setWindowTitle(LoadQString(IDS_PROGRAM_TITLE));
  QObject::connect(&m_activation, &CInstanceActivation::ActivationRequested, m_pFrame.get(), [this] { BringForward(); });
  m_pFrame->InitAfterStartup();
  // As a desktop program opens the file it was started with (a failure says why in a box). Made
  // absolute, so the open and save dialogs start in its directory.
  if (!options.m_strTransmitFile.empty()) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(options.m_strTransmitFile, error);
    m_pFrame->TransmitView()->OpenFile(error ? options.m_strTransmitFile : path.string());
  }
  return true;
}

void CAnalyzerApp::BringForward() {
  m_pFrame->setWindowState((m_pFrame->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  m_pFrame->show();
  m_pFrame->raise();
  m_pFrame->activateWindow();
}
