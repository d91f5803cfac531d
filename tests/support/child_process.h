#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace marovine::testing {

// A program started for a test (a server, the program under test); it is
// terminated and reaped when the object goes away.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env = {},
               const std::string& stdout_path = "", const std::string& stderr_path = "");
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  bool Running();
  // Waits for the program to end and answers its exit status (-1 when killed
  // by a signal or not started).
  int Wait();
  void Terminate();

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// The path of a program on PATH or in the usual system folders, or "".
std::string FindProgram(const std::string& name);

// A TCP port on 127.0.0.1 that was free a moment ago.
int FreeLoopbackPort();

// True once something accepts connections on 127.0.0.1:port.
bool WaitForPort(int port, int timeout_ms = 10000);

}  // namespace marovine::testing
