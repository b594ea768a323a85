#include "ServiceProcess.h"

#include <cerrno>
#include <chrono>
#include <regex>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kStartBoundMs = 30000;

}  // namespace

ServiceProcess::ServiceProcess(const std::string& binary, const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment) {
  int pipes[2];
  if (pipe2(pipes, O_CLOEXEC) != 0) return;
  std::vector<std::string> argumentStrings{binary};
  argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv, envp;
  for (auto& argument : argumentStrings) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::vector<std::string> environmentStrings(environment);
  for (char** name = environ; *name; ++name) environmentStrings.emplace_back(*name);
  for (auto& variable : environmentStrings) envp.push_back(variable.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipes[1], STDERR_FILENO);
  const int spawned =
      posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipes[1]);
  if (spawned != 0) {
    pid_ = -1;
    close(pipes[0]);
    return;
  }
  reader_ = std::thread([this, pipe = pipes[0]] { readLog(pipe); });

  const std::regex listening("listening on (http://.+:(\\d+))\n");
  std::unique_lock lock(mutex_);
  std::smatch match;
  changed_.wait_for(lock, std::chrono::milliseconds(kStartBoundMs),
                    [&] { return ended_ || std::regex_search(log_, match, listening); });
  if (!match.empty()) {
    base_ = match[1];
    port_ = std::stoi(match[2]);
  }
}

ServiceProcess::~ServiceProcess() {
  stop();
}

void ServiceProcess::readLog(int pipe) {
  char buffer[4096];
  for (ssize_t size; (size = read(pipe, buffer, sizeof buffer)) != 0;) {
    if (size < 0 && errno == EINTR) continue;
    if (size < 0) break;
    std::lock_guard lock(mutex_);
    log_.append(buffer, std::size_t(size));
    changed_.notify_all();
  }
  close(pipe);
  std::lock_guard lock(mutex_);
  ended_ = true;
  changed_.notify_all();
}

std::string ServiceProcess::log() const {
  std::lock_guard lock(mutex_);
  return log_;
}

bool ServiceProcess::waitForLog(const std::string& text, int boundMs) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(boundMs),
                           [&] { return log_.find(text) != std::string::npos; });
}

int ServiceProcess::stop(int signal) {
  if (pid_ <= 0) return -1;
  kill(pid_, signal);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  if (reader_.joinable()) reader_.join();
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
