// korvex-sim: a simulated Korvex module on a pseudo-terminal, to try the analyzer without
// hardware. Prints the terminal's path as its first line of output.
#include <signal.h>
#include <sys/signalfd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>

#include "sim/CSimLink.h"
#include "sim/CSimModule.h"
#include "sim/CSimOptions.h"
#include "sim/CSimPtyServer.h"
#include "link/CUniqueFd.h"
#include "protocol/WakeTiming.h"

namespace {

int Failure(const std::string& message) {
  std::fprintf(stderr, "korvex-sim: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  CSimOptions options;
  std::string error;
  if (!options.Parse(argc, argv, error)) {
    std::fprintf(stderr, "korvex-sim: %s\n%s", error.c_str(), CSimOptions::Usage());
    return 2;
  }
  if (options.m_bHelp || options.m_bVersion) {
    std::fputs(options.m_bHelp ? CSimOptions::Usage() : (CSimOptions::VersionText() + "\n").c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }

  // The signals that end the program arrive through a descriptor the serving loop polls,
  // so they never interrupt it half-way and the link is always removed.
  ::signal(SIGPIPE, SIG_IGN);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  if (::sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0) return Failure("sigprocmask failed");
  const CUniqueFd stopFd(::signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK));
  if (!stopFd.IsValid()) return Failure("signalfd failed");

  CSimModule module;
  module.SetFrameRate(options.m_nRate);
  if (options.m_nIds > 0) {
    std::vector<uint32_t> adwIds(options.m_nIds);
    std::iota(adwIds.begin(), adwIds.end(), 0u);
    module.SetFrameIds(std::move(adwIds));
  }
  module.SetVersion(options.m_byVersion);
  if (options.m_bBus) module.SetTraffic(CSimModule::TRAFFIC_BUS);
  // Each frame command as it was taken, timed on the monotonic clock as its bytes were read;
  // written as it comes, so a reader sees every line up to the last one taken.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> pRecord(nullptr, &std::fclose);
  if (!options.m_recordPath.empty()) {
    pRecord.reset(std::fopen(options.m_recordPath.c_str(), "we"));
    if (!pRecord) return Failure(options.m_recordPath + ": " + std::strerror(errno));
    module.SetTransmitObserver([pFile = pRecord.get()](std::string_view line, int64_t nArrivalNs) {
      std::fprintf(pFile, "%lld.%09lld %.*s\n", static_cast<long long>(nArrivalNs / 1000000000),
                   static_cast<long long>(nArrivalNs % 1000000000), static_cast<int>(line.size()), line.data());
      std::fflush(pFile);
    });
  }
  CSimPtyServer server(module);
  if (!server.Open(error)) return Failure(error);
  CSimLink link;
  if (!options.m_linkPath.empty() &&
      link.Create(options.m_linkPath, server.SlavePath(), error) != CSimLink::LINK_OK)
    return Failure(error);

  std::printf("%s\n", server.SlavePath().c_str());
  std::fflush(stdout);

  const uint64_t qwRunMs =
      options.m_nSeconds == 0 ? CSimPtyServer::NO_TIME_LIMIT : uint64_t{options.m_nSeconds} * 1000;
  // A module reads what comes at once; so does its stand-in, also on a busy machine.
  RequestPromptWakeups();
  const bool bServed = server.Run(stopFd.Get(), qwRunMs, error);
  link.Remove();
  if (module.Outbox().DroppedLines() > 0)
    std::fprintf(stderr, "korvex-sim: %llu lines could not be sent (the client did not read them)\n",
                 static_cast<unsigned long long>(module.Outbox().DroppedLines()));
  return bServed ? 0 : Failure(error);
}
