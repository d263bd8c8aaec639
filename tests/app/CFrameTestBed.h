#pragma once
// A main frame on the virtual-time loop and scripted transports, settings in memory, boxes recorded.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <filesystem>
#include <functional>

#include "FakeTransport.h"
#include "app/CMainFrame.h"
#include "uisupport/MessageBox.h"
#include "link/SerialPortDiscovery.h"
#include "protocol/CModuleChannel.h"
#include "receive/CEventLogCtrl.h"
#include "support/CMemorySettingsStore.h"
#include "support/CVirtualLoop.h"
#include "support/ScratchDir.h"
#include "uisupport/CPaneStatusBar.h"
#include "uisupport/ModalDialogs.h"

class CFrameTestBed : public ::testing::Test, public MessageSink {
protected:
  CFrameTestBed() {
    ::setenv("XDG_CONFIG_HOME", m_scratch.MakeDir("config").c_str(), 1);
    const std::string runtimeDir = m_scratch.MakeDir("run");
    ::chmod(runtimeDir.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    std::filesystem::current_path(m_scratch.Path());
    m_pPreviousSink = SetMessageSink(this);
    m_store.SetInt(SETTINGS_SECTION, SETTING_USB_MODE, PORT_MODE_SERIAL);
    m_store.SetInt(SETTINGS_SECTION, SETTING_SERIAL_PORT_INDEX, 0);
    m_store.SetInt(SETTINGS_SECTION, SETTING_BAUD_RATE, BAUD_RATE_FAST);
    auto pSerial = std::make_unique<CFakeTransport>(), pUsb = std::make_unique<CFakeTransport>();
    m_pSerial = pSerial.get();
    m_pUsb = pUsb.get();
    m_pChannel = std::make_unique<CModuleChannel>(std::move(pSerial), std::move(pUsb));
    m_pChannelWindow = std::make_unique<CVirtualLoop::CWindow>(m_loop, *m_pChannel);
    m_ports.m_serialPorts = {{"ttyS1", "/dev/ttyS1", "ttyS1", 0}};
  }
  ~CFrameTestBed() override {
    m_pFrame.reset();
    SetMessageSink(m_pPreviousSink);
    std::filesystem::current_path(m_oldDirectory);
  }
  EMessageAnswer Show(const CMessageRequest& request) override {
    m_shown.push_back(request);
    return EMessageAnswer::OK;
  }

  void MakeFrame(bool bSecondaryInstance = false, int nSimulatedPort = -1) {
    m_ports.FixPortsAvailable();
    CFrameSetup setup{m_pChannel.get(), m_pChannelWindow.get(), &m_ports, &m_store, m_strLogDirectory,
                      bSecondaryInstance, nSimulatedPort};
    setup.m_fnMakeWindow = [this](MessageHandler& handler) {
      return std::make_unique<CVirtualLoop::CWindow>(m_loop, handler);
    };
    setup.m_fnSteadyNs = [this] { return static_cast<int64_t>(m_loop.Now()) * 1000000; };
    setup.m_pfnLogClock = m_pfnLogClock;
    m_pFrame = std::make_unique<CMainFrame>(setup);
    m_pFrame->show();
    m_pFrame->InitAfterStartup();
  }
  // A window whose module has answered the start-up exchange.
  void MakeReadyFrame() {
    MakeFrame();
    AnswerStartup();
  }
  // The window as the next run opens it; fnMeanwhile runs while there is none.
  void RemakeFrame(const std::function<void()>& fnMeanwhile = nullptr) {
    m_pFrame.reset();
    m_pSerial->Forget();
    if (fnMeanwhile) fnMeanwhile();
    MakeFrame();
  }

  // Closes the window as the user does, the channel's wait before the close included; true
  // when the window closed.
  bool CloseFrame() {
    m_pFrame->close();
    m_loop.Advance(CModuleChannel::CLOSE_WAIT_MS);
    return !m_pFrame->isVisible();
  }
  // Each file dialog fnDo opens takes the next path ("" cancels); every path must be used.
  void WithFiles(std::deque<std::string> paths, const std::function<void()>& fnDo) {
    const ModalRunner previous = SetModalRunner([&paths](QDialog& dialog) {
      auto& fileDialog = dynamic_cast<QFileDialog&>(dialog);
      if (paths.empty()) ADD_FAILURE() << "a file dialog too many";
      const std::string path = paths.empty() ? "" : paths.front();
      if (!paths.empty()) paths.pop_front();
      if (path.empty()) return false;
      fileDialog.selectFile(QString::fromStdString(path));
      dialog.accept();  // QFileDialog's own accept, as its open or save button runs it
      return dialog.result() == QDialog::Accepted;
    });
    fnDo();
    SetModalRunner(previous);
    EXPECT_TRUE(paths.empty());
  }
  void RunWithFiles(unsigned nId, std::deque<std::string> paths) {
    WithFiles(std::move(paths), [&] { m_pFrame->Action(nId)->trigger(); });
  }
  std::vector<unsigned> ShownIds() const {
    std::vector<unsigned> ids;
    for (const CMessageRequest& request : m_shown) ids.push_back(request.m_nStringId);
    return ids;
  }
  QString PaneText(unsigned nId) const { return m_pFrame->StatusPanes()->Pane(nId)->text(); }
  bool Enabled(unsigned nId) const { return m_pFrame->Action(nId)->isEnabled(); }
  // Bytes from the module on the serial port, handled with everything they cause.
  void Receive(std::string_view bytes) {
    m_pSerial->Deliver(bytes);
    m_loop.RunPending();
  }
  // The module's answers to the start-up exchange: CAN 2.0B, 250K, ID 0x123, mask 0x1FFFFFFF.
  void AnswerStartup() { Receive(Line(":Y1C0F34000001231FFFFFFF") + Line(":G00")); }

  ScratchDir m_scratch;
  std::filesystem::path m_oldDirectory = std::filesystem::current_path();
  std::string m_strLogDirectory = m_scratch.MakeDir("Log");
  CVirtualLoop m_loop;
  std::unique_ptr<CModuleChannel> m_pChannel;
  std::unique_ptr<CVirtualLoop::CWindow> m_pChannelWindow;
  CPortLists m_ports;
  CMemorySettingsStore m_store;
  std::vector<CMessageRequest> m_shown;
  MessageSink* m_pPreviousSink = nullptr;
  CFakeTransport* m_pSerial = nullptr;
  CFakeTransport* m_pUsb = nullptr;
  CLogFiles::TimeSource m_pfnLogClock = nullptr;  // the log files' clock; null: the system's
  std::unique_ptr<CMainFrame> m_pFrame;
};

// While it lives, every modal dialog runs the user's part (if any) and then has OK pressed.
class CDialogFiller {
public:
  explicit CDialogFiller(std::function<void(QDialog&)> fnUser = nullptr)
      : m_fnPrevious(SetModalRunner([this, fnUser](QDialog& dialog) {
          ++m_nRuns;
          dialog.show();
          if (fnUser) fnUser(dialog);
          QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
          return dialog.result() == QDialog::Accepted;
        })) {}
  ~CDialogFiller() { SetModalRunner(m_fnPrevious); }
  int m_nRuns = 0;

private:
  ModalRunner m_fnPrevious;
};
